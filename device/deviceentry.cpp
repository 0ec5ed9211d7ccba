#include "deviceentry.h"

DeviceEntry::DeviceEntry(int index, const QString &name, int type, const QString &cmdPath,
                         const QString &eventPath, unsigned reportLength)
    : m_index(index), m_name(name), m_type(type), m_cmdPath(cmdPath), m_eventPath(eventPath),
      m_reportLength(reportLength)
{}

QString DeviceEntry::cmdPath() const
{
    std::lock_guard<std::mutex> locker(m_lock);
    return m_cmdPath;
}

QString DeviceEntry::eventPath() const
{
    std::lock_guard<std::mutex> locker(m_lock);
    return m_eventPath;
}

void DeviceEntry::clearCmdPath()
{
    std::lock_guard<std::mutex> locker(m_lock);
    m_cmdPath.clear();
}

void DeviceEntry::clearEventPath()
{
    std::lock_guard<std::mutex> locker(m_lock);
    m_eventPath.clear();
}
