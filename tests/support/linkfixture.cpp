#include "linkfixture.h"

#include "devinfo.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace fixture {

void EventRecorder::zzzTovrin(uchar profileNo, uchar effect, uchar brightness, uchar speed)
{
    std::lock_guard<std::mutex> locker(m_lock);
    m_events.push_back({profileNo, effect, brightness, speed});
}

std::vector<MonitorEvent> EventRecorder::events() const
{
    std::lock_guard<std::mutex> locker(m_lock);
    return m_events;
}

std::unique_ptr<Hid_Thread> makeLink(q3emu::Scenario scenario, bool scrambled, EventRecorder *recorder,
                                     std::chrono::microseconds reportDelay)
{
    q3emu::reset(scenario);
    q3emu::setReportDelay(reportDelay);
    q3emu::setScrambling(scrambled);
    auto link = std::make_unique<Hid_Thread>();
    link->setOwner(recorder);
    const DevInfo info = loadDevInfo(kDevInfoResource, {"Q3", "Q4"});
    link->setDeviceList(info.records);
    isEncode = scrambled;
    link->swichCurDevice(0);
    q3emu::clearTrace();
    return link;
}

std::vector<q3emu::TraceEntry> traceOf(q3emu::TraceEntry::Kind kind)
{
    std::vector<q3emu::TraceEntry> out;
    for (const auto &e : q3emu::trace())
        if (e.kind == kind)
            out.push_back(e);
    return out;
}

QString hex(const std::vector<uint8_t> &bytes)
{
    QStringList parts;
    for (uint8_t b : bytes)
        parts << QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
    return parts.join(' ');
}

std::vector<uint8_t> bytesFromHex(const QString &text)
{
    std::vector<uint8_t> out;
    for (const QString &part : text.split(' ', Qt::SkipEmptyParts))
        out.push_back(static_cast<uint8_t>(part.toUInt(nullptr, 16)));
    return out;
}

bool waitUntilIdle(const Hid_Thread &link)
{
    QElapsedTimer timer;
    timer.start();
    while (!link.isLinkIdle()) {
        if (timer.elapsed() > 5000)
            return false;
        QCoreApplication::processEvents();
        QThread::msleep(1);
    }
    return true;
}

} // namespace fixture
