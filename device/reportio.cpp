#include "reportio.h"

#include "packetcodec.h"

#include <hidapi.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

namespace reportio {

bool sendFeature(hid_device *dev, const uint8_t *report)
{
    return hid_send_feature_report(dev, report, packet::kReportSize) >= 0;
}

bool readFeature(hid_device *dev, uint8_t *report)
{
    return hid_get_feature_report(dev, report, packet::kReportSize) >= 0;
}

bool writeDataPhase(hid_device *dev, const uint8_t *data, int n, unsigned reportLength)
{
    if (reportLength == 0)
        return false;
    const int chunk = std::min<int>(n, static_cast<int>(reportLength));
    std::vector<uint8_t> report(reportLength + 1, 0);
    for (int offset = 0; offset < n; offset += chunk) {
        std::fill(report.begin(), report.end(), 0);
        report[0] = packet::kReportId;
        // A last chunk shorter than the others is zero-padded.
        std::memcpy(report.data() + 1, data + offset, std::min(chunk, n - offset));
        if (hid_write(dev, report.data(), report.size()) < 0)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(kReportPauseMs));
    }
    return true;
}

bool readDataPhase(hid_device *dev, uint8_t *data, int n, unsigned reportLength, int timeoutMs)
{
    if (reportLength == 0)
        return false;
    const int chunk = std::min<int>(n, static_cast<int>(reportLength));
    std::vector<uint8_t> report(reportLength + 1);
    for (int offset = 0; offset < n; offset += chunk) {
        std::fill(report.begin(), report.end(), 0);
        // hidraw hands unnumbered input reports over without their id, so the
        // data starts at byte 0 of what the read returns.
        const int got = hid_read_timeout(dev, report.data(), report.size(), timeoutMs);
        if (got <= 0)
            return false;
        std::memcpy(data + offset, report.data(), std::min(chunk, n - offset));
    }
    return true;
}

} // namespace reportio
