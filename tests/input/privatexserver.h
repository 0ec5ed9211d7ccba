// An Xvfb of a test's own, for what the shared test display must not see:
// a server without RECORD, a server that goes away.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>

class PrivateXServer
{
public:
    // Starts Xvfb with `extraArguments` and one 1280 by 1024 screen;
    // display() is empty when it could not be started.
    explicit PrivateXServer(const QStringList &extraArguments = {})
    {
        m_server.setProcessChannelMode(QProcess::SeparateChannels);
        // -displayfd: the server picks a free display and writes its number.
        m_server.start(QStringLiteral("Xvfb"), QStringList{QStringLiteral("-displayfd"), QStringLiteral("1"),
                                                           QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                                                           QStringLiteral("-screen"), QStringLiteral("0"),
                                                           QStringLiteral("1280x1024x24")} +
                                                   extraArguments);
        if (!m_server.waitForStarted(10000))
            return;
        QByteArray number;
        while (!number.contains('\n') && m_server.waitForReadyRead(10000))
            number += m_server.readAllStandardOutput();
        if (number.trimmed().isEmpty())
            return;
        m_display = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
    }
    ~PrivateXServer() { stop(); }
    PrivateXServer(const PrivateXServer &) = delete;
    PrivateXServer &operator=(const PrivateXServer &) = delete;

    QString display() const { return m_display; }

    void stop()
    {
        if (m_server.state() == QProcess::NotRunning)
            return;
        m_server.terminate();
        if (!m_server.waitForFinished(10000)) {
            m_server.kill();
            m_server.waitForFinished(10000);
        }
    }

private:
    QProcess m_server;
    QString m_display;
};

// Points DISPLAY at `display` while it lives.
class DisplayOverride
{
public:
    explicit DisplayOverride(const QString &display) : m_previous(qgetenv("DISPLAY"))
    {
        qputenv("DISPLAY", display.toLocal8Bit());
    }
    ~DisplayOverride() { qputenv("DISPLAY", m_previous); }
    DisplayOverride(const DisplayOverride &) = delete;
    DisplayOverride &operator=(const DisplayOverride &) = delete;

private:
    QByteArray m_previous;
};
