// Whatever lies beside romwriter as "data.bin" goes through this parser.
// Besides AddressSanitizer's checks, every verdict must keep its promises.
#include "imagefile.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace romwriter::imagefile;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const Contents c = parse(data, size);
    const bool tooLong = size > kMaxFileSize;
    if ((c.verdict == Verdict::TooLong) != tooLong)
        std::abort();
    if (c.title.size() > kHeaderSize || std::memchr(c.title.data(), 0, c.title.size()))
        std::abort();
    if (c.verdict != Verdict::Usable) {
        if (!c.image.empty())
            std::abort();
        return 0;
    }
    // The image holds exactly the L bytes after the 11-byte image header,
    // descrambled: scrambling it again gives the file's bytes back.
    if (c.image.size() != c.length || kHeaderSize + kImageHeaderSize + c.length > size)
        std::abort();
    std::vector<uint8_t> scrambled = c.image;
    descramble(scrambled.data(), scrambled.size(), c.scrambleA, c.scrambleB);
    if (!std::equal(scrambled.begin(), scrambled.end(), data + kHeaderSize + kImageHeaderSize))
        std::abort();
    return 0;
}
