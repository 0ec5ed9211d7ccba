// One row of the device link's table: a configured device and the system
// paths of its two HID interfaces.
#pragma once

#include <QString>

#include <mutex>

class DeviceEntry
{
public:
    DeviceEntry(int index, const QString &name, int type, const QString &cmdPath, const QString &eventPath,
                unsigned reportLength);

    int index() const { return m_index; }
    QString name() const { return m_name; }
    int type() const { return m_type; }
    unsigned reportLength() const { return m_reportLength; }

    // Paths are emptied from pool threads when an open fails (the device
    // counts as gone for the rest of the run) while other threads read them,
    // so they are only reached under the row's lock. Once emptied, a path is
    // never filled again.
    QString cmdPath() const;
    QString eventPath() const;
    void clearCmdPath();
    void clearEventPath();

private:
    const int m_index;
    const QString m_name;
    const int m_type;
    mutable std::mutex m_lock;
    QString m_cmdPath;
    QString m_eventPath;
    const unsigned m_reportLength;
};
