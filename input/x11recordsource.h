// The X11 side of capture: a RECORD context on the X display that records
// key presses and releases and button presses and releases of all clients,
// its data connection read on the creating thread through a socket
// notifier, each event handed to an XEventTranslator. RECORD only observes,
// so no event is ever taken from the client it was meant for.
#pragma once

#include "xeventtranslator.h"

#include <QObject>

#include <memory>

class QSocketNotifier;
class QTimer;

class X11RecordSource : public QObject
{
    Q_OBJECT
public:
    // Opens the display named by DISPLAY and starts recording; null, with
    // the reason logged, when there is no display, it has no RECORD
    // extension or the context cannot be made.
    static std::unique_ptr<X11RecordSource> open(input::XEventTranslator::KeySink keySink,
                                                 input::XEventTranslator::MouseSink mouseSink);
    ~X11RecordSource() override;

    // Stops delivering at once and deletes the source: now, or when called
    // from within its own delivery, as soon as that is over.
    void close();

private:
    struct Connection;

    X11RecordSource(std::unique_ptr<Connection> connection, input::XEventTranslator translator);
    void readReplies();
    void flushPendingRelease();
    // Delivers what the server has sent; false when capture is over.
    bool processReplies();

    std::unique_ptr<Connection> m_x;
    input::XEventTranslator m_translator;
    QSocketNotifier *m_notifier = nullptr;
    QTimer *m_flushTimer = nullptr;
    bool m_delivering = false;
    bool m_closing = false;
};
