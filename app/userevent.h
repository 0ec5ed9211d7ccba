// The events the main window posts to itself.
#pragma once

#include <QEvent>

// Posted once at start-up: when it arrives, the queued QML "initUI" has run
// and the busy lock can go.
class UserEvent : public QEvent
{
public:
    static constexpr int kStartUpDone = 2177;

    explicit UserEvent(int code) : QEvent(QEvent::User), eventCode(code) {}

    int eventCode;
};

// Posted by a double click on the tray icon; the window shows itself when it
// arrives, after the events already queued.
class RestoreEvent : public QEvent
{
public:
    RestoreEvent() : QEvent(type()) {}
    static QEvent::Type type()
    {
        static const auto registered = static_cast<QEvent::Type>(QEvent::registerEventType());
        return registered;
    }
};
