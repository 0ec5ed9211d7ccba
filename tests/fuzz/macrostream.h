// The shape every macro byte stream must have, whatever lines it was built
// from: 00 01, then whole steps (01 nn press, 81 nn release, 7F 00 dd dd
// delay), then 00 00.
#pragma once

#include <QList>

namespace fuzz {

struct MacroStep {
    uchar kind; // 0x01 press, 0x81 release, 0x7F delay
    int value;  // the USB code, or the delay in tens of milliseconds
    bool operator==(const MacroStep &o) const { return kind == o.kind && value == o.value; }
};

// The steps of `stream`, or false when it is not a well-formed stream.
inline bool parseMacroStream(const QList<uchar> &stream, QList<MacroStep> &steps)
{
    steps.clear();
    const int n = stream.size();
    if (n < 4 || n % 2 != 0 || stream.at(0) != 0x00 || stream.at(1) != 0x01 || stream.at(n - 2) != 0x00 ||
        stream.at(n - 1) != 0x00)
        return false;
    for (int k = 2; k < n - 2;) {
        const uchar kind = stream.at(k);
        if ((kind == 0x01 || kind == 0x81) && stream.at(k + 1) != 0) {
            steps.append({kind, stream.at(k + 1)});
            k += 2;
        } else if (kind == 0x7F && stream.at(k + 1) == 0x00 && k + 4 <= n - 2) {
            steps.append({kind, stream.at(k + 2) * 256 + stream.at(k + 3)});
            k += 4;
        } else {
            return false;
        }
    }
    return true;
}

} // namespace fuzz
