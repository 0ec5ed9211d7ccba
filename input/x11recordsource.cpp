#include "x11recordsource.h"

#include "inputlog.h"

#include <QByteArray>
#include <QSocketNotifier>
#include <QTimer>

#include <atomic>

// Last: the X headers define macros (None, Bool, KeyPress...) that Qt's
// headers would trip over.
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/extensions/record.h>

namespace {

// Linux input codes of the Alt keys, as X keycodes: whichever modifiers
// hold them mean Alt, whatever the keysyms.
constexpr KeyCode kLeftAltKeycode = 56 + 8;
constexpr KeyCode kRightAltKeycode = 100 + 8;

bool g_setupFailed = false;

// Xlib ends the process when a connection breaks unless the display has an
// exit handler and the process-wide I/O error handler returns. The process
// handler is shared (Qt installs its own for its Xlib display), so ours lets
// the one it replaced handle every display but the two capture uses.
std::atomic<Display *> g_captureControl{nullptr};
std::atomic<Display *> g_captureData{nullptr};
XIOErrorHandler g_previousIoHandler = nullptr;

int onIoError(Display *display)
{
    if (display == g_captureControl || display == g_captureData)
        return 0;
    return g_previousIoHandler ? g_previousIoHandler(display) : 0;
}

int noteSetupError(Display *, XErrorEvent *)
{
    g_setupFailed = true;
    return 0;
}

uint16_t altModifierMask(Display *display)
{
    XModifierKeymap *map = XGetModifierMapping(display);
    if (!map)
        return input::kXMod1Mask;
    uint16_t mask = 0;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < map->max_keypermod; ++i) {
            const KeyCode code = map->modifiermap[modifier * map->max_keypermod + i];
            if (code == kLeftAltKeycode || code == kRightAltKeycode)
                mask |= uint16_t(1u << modifier);
        }
    }
    XFreeModifiermap(map);
    return mask ? mask : input::kXMod1Mask;
}

} // namespace

// The two connections RECORD needs: one that controls the context and one
// that the server streams the recorded events to, which serves nothing
// else while the context is enabled.
struct X11RecordSource::Connection {
    Display *control = nullptr;
    Display *data = nullptr;
    XRecordContext context = 0;
    // Where recorded events go; null once the source is being taken down.
    X11RecordSource *owner = nullptr;
    // The server went away; Xlib has marked the data connection broken.
    bool lost = false;

    ~Connection()
    {
        if (context && !lost) {
            // The server ends the stream on the data connection, which
            // closing it then reads to the end.
            XRecordDisableContext(control, context);
            XRecordFreeContext(control, context);
            XSync(control, False);
        }
        if (data)
            XCloseDisplay(data);
        if (control)
            XCloseDisplay(control);
        // Another source may have opened its own since.
        Display *expected = control;
        g_captureControl.compare_exchange_strong(expected, nullptr);
        expected = data;
        g_captureData.compare_exchange_strong(expected, nullptr);
    }

    // Called by Xlib, after the I/O error handler, instead of exiting.
    static void onLost(Display *, void *self) { static_cast<Connection *>(self)->lost = true; }

    void watchForLoss()
    {
        static const bool installed = [] {
            g_previousIoHandler = XSetIOErrorHandler(onIoError);
            return true;
        }();
        Q_UNUSED(installed)
        g_captureControl = control;
        g_captureData = data;
        XSetIOErrorExitHandler(control, onLost, this);
        XSetIOErrorExitHandler(data, onLost, this);
    }

    static void intercept(XPointer closure, XRecordInterceptData *recorded)
    {
        auto *self = reinterpret_cast<Connection *>(closure);
        if (self->owner && recorded->category == XRecordFromServer && recorded->data &&
            recorded->data_len * 4 >= sizeof(xEvent)) {
            const auto *event = reinterpret_cast<const xEvent *>(recorded->data);
            const input::XDeviceEvent device{
                uint8_t(event->u.u.type & 0x7F),          event->u.u.detail,
                uint32_t(event->u.keyButtonPointer.time), uint16_t(event->u.keyButtonPointer.state),
                int16_t(event->u.keyButtonPointer.rootX), int16_t(event->u.keyButtonPointer.rootY)};
            if (!self->owner->m_closing)
                self->owner->m_translator.feed(device);
        }
        XRecordFreeData(recorded);
    }
};

std::unique_ptr<X11RecordSource> X11RecordSource::open(input::XEventTranslator::KeySink keySink,
                                                       input::XEventTranslator::MouseSink mouseSink)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        qCInfo(lcInput) << "no X display";
        return nullptr;
    }
    auto x = std::make_unique<Connection>();
    x->control = XOpenDisplay(nullptr);
    x->data = x->control ? XOpenDisplay(nullptr) : nullptr;
    if (!x->data) {
        qCInfo(lcInput) << "cannot open X display" << qgetenv("DISPLAY");
        return nullptr;
    }
    x->watchForLoss();
    int opcode = 0, event = 0, error = 0, major = 0, minor = 0;
    if (!XQueryExtension(x->control, "RECORD", &opcode, &event, &error) ||
        !XRecordQueryVersion(x->control, &major, &minor)) {
        qCInfo(lcInput) << "the X server has no RECORD extension";
        return nullptr;
    }

    XRecordRange *range = XRecordAllocRange();
    if (!range)
        return nullptr;
    range->device_events.first = KeyPress;
    range->device_events.last = ButtonRelease;
    XRecordClientSpec clients = XRecordAllClients;

    // A refused context arrives as an X error: catch it here rather than in
    // whatever handler the process has, which may end it.
    g_setupFailed = false;
    const auto previousHandler = XSetErrorHandler(noteSetupError);
    x->context = XRecordCreateContext(x->control, 0, &clients, 1, &range, 1);
    XSync(x->control, False);
    XSetErrorHandler(previousHandler);
    XFree(range);
    if (!x->context || g_setupFailed) {
        qCInfo(lcInput) << "the X server refused a RECORD context";
        if (g_setupFailed)
            x->context = 0;
        return nullptr;
    }

    const uint16_t altMask = altModifierMask(x->control);
    std::unique_ptr<X11RecordSource> source(
        new X11RecordSource(std::move(x), input::XEventTranslator(keySink, mouseSink, altMask)));
    Connection &c = *source->m_x;
    if (!XRecordEnableContextAsync(c.data, c.context, &Connection::intercept,
                                   reinterpret_cast<XPointer>(&c))) {
        qCInfo(lcInput) << "cannot enable the RECORD context";
        return nullptr;
    }
    XFlush(c.data);
    qCDebug(lcInput) << "RECORD" << major << minor << "on" << qgetenv("DISPLAY");
    return source;
}

X11RecordSource::X11RecordSource(std::unique_ptr<Connection> connection, input::XEventTranslator translator)
    : m_x(std::move(connection)), m_translator(translator)
{
    m_x->owner = this;
    m_notifier = new QSocketNotifier(ConnectionNumber(m_x->data), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &X11RecordSource::readReplies);
    m_flushTimer = new QTimer(this);
    m_flushTimer->setSingleShot(true);
    m_flushTimer->setInterval(0);
    connect(m_flushTimer, &QTimer::timeout, this, &X11RecordSource::flushPendingRelease);
}

X11RecordSource::~X11RecordSource()
{
    m_x->owner = nullptr;
}

void X11RecordSource::close()
{
    m_closing = true;
    m_notifier->setEnabled(false);
    m_flushTimer->stop();
    if (m_delivering)
        deleteLater();
    else
        delete this;
}

void X11RecordSource::readReplies()
{
    if (processReplies() && m_translator.hasPendingRelease())
        m_flushTimer->start();
}

void X11RecordSource::flushPendingRelease()
{
    // The press that would make the held-back release a repeat may have
    // come in since.
    if (!processReplies())
        return;
    m_delivering = true;
    m_translator.flush();
    m_delivering = false;
}

bool X11RecordSource::processReplies()
{
    if (m_closing || m_x->lost)
        return false;
    m_delivering = true;
    XRecordProcessReplies(m_x->data);
    m_delivering = false;
    if (m_x->lost) {
        qCWarning(lcInput) << "the X server closed the connection; global key capture stopped";
        m_notifier->setEnabled(false);
        m_flushTimer->stop();
        return false;
    }
    return !m_closing;
}
