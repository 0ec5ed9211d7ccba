// What the save driver writes in round `seq`, shared by the driver and the
// crash test: every round's values differ, so the test can tell which round
// a file holds and whether all of it belongs to that round. The round number
// itself is spread over values that a torn write would lose first or damage.
#pragma once

#include "macrocodec.h"

#include <QString>
#include <QStringList>
#include <QVariant>

namespace saveversions {

// The key table layout the scratch folder declares; the matrix lands in
// section [keydefine0].
constexpr int kLayout = 0;
constexpr int kKeys = 128;

// The 256 values of ui_0C0DH_SetKeyMatrix: the round number in the first
// three bytes, the rest derived from it.
inline QVariantList matrix(int seq)
{
    QVariantList values{seq & 0xFF, (seq >> 8) & 0xFF, (seq >> 16) & 0xFF, 0};
    for (int k = 4; k < 2 * kKeys; ++k)
        values << ((seq * 13 + k * 7) & 0xFF);
    return values;
}

// The six arguments of ui_08H_SetLEDType.
inline QVariantList ledType(int seq)
{
    return {seq & 0xFF, (seq >> 8) & 0xFF, (seq >> 16) & 0xFF, seq % 4, seq % 7, seq % 3};
}

// A configuration list shaped like the settings page's 32 entries, sound
// off; the last entry, the web-site link, carries the round.
inline QVariantList apConfig(int seq)
{
    QVariantList list{1, 1 + seq % 2, 1, seq % 2, 0, false, QString(), seq % 2};
    for (int i = 0; i < 21; ++i)
        list << ((seq * 3 + i) & 0xFF);
    list << seq % 7 << seq % 8 << QStringLiteral("http://example.org/q3/%1").arg(seq);
    return list;
}

// The round from the link entry of apConfig(seq), or -1.
inline int apConfigRound(const QString &link)
{
    const QString prefix = QStringLiteral("http://example.org/q3/");
    bool ok = false;
    const int seq = link.startsWith(prefix) ? link.mid(prefix.size()).toInt(&ok) : -1;
    return ok ? seq : -1;
}

// Macro lines: a delay of `seq` ms first, then a few presses and releases
// so that consecutive rounds differ in length too.
inline QStringList macroLines(int seq)
{
    QStringList lines{QString::number(seq) + macrocodec::delaySuffix()};
    for (int k = 0; k < 2 * (seq % 6); ++k)
        lines << QStringLiteral("A") + (k % 2 ? macrocodec::releaseSuffix() : macrocodec::pressSuffix());
    return lines;
}

// The round from the first line of macroLines(seq), or -1.
inline int macroRound(const QString &firstLine)
{
    if (!firstLine.endsWith(macrocodec::delaySuffix()))
        return -1;
    bool ok = false;
    const int seq = firstLine.left(firstLine.size() - macrocodec::kSuffixLength).toInt(&ok);
    return ok ? seq : -1;
}

// The journal the driver keeps beside its work, one line per event, fields
// separated by tabs: "B <seq> <operation> <slot> [names...]" before an
// operation starts and "E <seq> [result]" once it has returned.
constexpr char kBegin[] = "B";
constexpr char kEnd[] = "E";

} // namespace saveversions
