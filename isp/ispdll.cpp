// The C ABI of ispdll.h. The device calls follow once the boot loader's
// protocol is in place; until then they report that no boot loader is there.
#include "ispdll.h"

#include "firmwareimage.h"

#include <cstring>
#include <mutex>
#include <vector>

namespace {

constexpr uint32_t kRecordBytes = 36;
constexpr uint32_t kTargetPageSize = 512;
constexpr uint32_t kTargetPageCount = 128;
constexpr uint32_t kTargetBlockSize = 1024;
constexpr uint32_t kProtocolVersion = 1;

std::mutex lock;
std::vector<uint8_t> image;
bool imageLoaded = false;

template <typename T> void put(T *out, T value)
{
    if (out)
        *out = value;
}

void putField(void *record, std::size_t offset, uint32_t value)
{
    std::memcpy(static_cast<uint8_t *>(record) + offset, &value, sizeof value);
}

} // namespace

extern "C" {

int LoadProgdata(unsigned char *data, unsigned int length, unsigned int *out1, unsigned short *out2,
                 unsigned int *out3, unsigned short *out4, unsigned int *out5, unsigned short *out6)
{
    std::lock_guard<std::mutex> guard(lock);
    imageLoaded = false;
    image.clear();
    put(out1, 0u);
    put<unsigned short>(out2, 0);
    put(out3, 0u);
    put<unsigned short>(out4, 0);
    put(out5, 0u);
    put<unsigned short>(out6, 0);
    if (!data)
        return ISP_E_NO_IMAGE;
    if (length == 0 || length > ispimage::kMaxFlashBytes)
        return ISP_E_ARGUMENT;
    image.assign(data, data + length);
    imageLoaded = true;
    uint32_t sum = 0;
    for (uint8_t b : image)
        sum += b;
    put(out1, length);
    put(out2, ispimage::kPlainImageFormat);
    put(out3, sum);
    put(out4, ispimage::crc16(image.data(), image.size()));
    put(out5, (length + kTargetPageSize - 1) / kTargetPageSize);
    put<unsigned short>(out6, ispimage::versionOf(image.data(), image.size()).value_or(0));
    return ISP_OK;
}

int GetMCUInfo(void *record)
{
    if (!record)
        return 0;
    uint32_t size = 0;
    std::memcpy(&size, record, sizeof size);
    if (size < kRecordBytes)
        return 0;
    putField(record, 4, kTargetPageSize);
    putField(record, 8, kTargetPageCount);
    putField(record, 12, kTargetPageSize * kTargetPageCount);
    putField(record, 16, kTargetBlockSize);
    putField(record, 20, kProtocolVersion);
    putField(record, 24, 0);
    putField(record, 28, 0);
    putField(record, 32, 0);
    return 1;
}

unsigned short GetChksum(int kind)
{
    std::lock_guard<std::mutex> guard(lock);
    if (!imageLoaded)
        return 0;
    if (kind == 1)
        return ispimage::sum16(image.data(), image.size());
    if (kind == 2)
        return ispimage::crc16(image.data(), image.size());
    return 0;
}

int ConnectToBootloader(void)
{
    return ISP_E_NOT_CONNECTED;
}
int EraseByPage(unsigned short, int, int)
{
    return ISP_E_NOT_CONNECTED;
}
int BlankCheck(int)
{
    return ISP_E_NOT_CONNECTED;
}
int PartialProgram(unsigned short, unsigned short)
{
    return ISP_E_NOT_CONNECTED;
}
int VerifyByPage(unsigned short, int, int)
{
    return ISP_E_NOT_CONNECTED;
}
int ExecuteProgramFrom(int)
{
    return ISP_E_NOT_CONNECTED;
}
int LockAll(void)
{
    return 0;
}
int SwitchToUserProgram(void)
{
    return ISP_E_NOT_CONNECTED;
}
int DisConnectBootloader(void)
{
    return ISP_OK;
}

} // extern "C"
