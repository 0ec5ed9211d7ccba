// The device description: which USB HID interfaces belong to the devices the
// program can configure. It is an INI document compiled into the program as
// ":/DevInfo.ini" with a [common] group (isEncode, total) and one group per
// device named by its decimal index.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

// One device group as read from the description.
struct DevInfoRecord {
    int type = -1; // 0 keyboard, 1 mouse; -1 when the group has no type
    uint16_t vid = 0;
    uint16_t pid = 0;
    uint16_t usagePage = 0; // command interface
    uint16_t usage = 0;
    uint16_t usagePage2 = 0; // event interface
    uint16_t usage2 = 0;
    QString lib;
    QString name;              // display name, from the configuration's product_name list
    unsigned reportLength = 0; // data bytes per output/input report, report id not counted
};

struct DevInfo {
    QList<DevInfoRecord> records;
    bool isEncode = false;
};

// The description compiled into the program.
extern const char *const kDevInfoResource; // ":/DevInfo.ini"

// Reads the description at `path` (a resource or a file). Hexadecimal values
// carry no prefix ("04d9", though "0x" is tolerated); a value that does not
// parse, or does not fit 16 bits, counts as 0. Device n's name is
// productNames[n], empty when the list is shorter. A missing `total` gives
// no records, a missing isEncode false.
DevInfo loadDevInfo(const QString &path, const QStringList &productNames);
