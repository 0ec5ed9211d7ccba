#include "guiharness.h"

#include "myquickview.h"
#include "privatexserver.h"
#include "widget.h"
#include "xinject.h"

#include <QApplication>
#include <QCursor>
#include <QDirIterator>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QMetaProperty>
#include <QMouseEvent>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>
#include <QWindow>
#include <QtTest>

namespace guitest {

namespace {

constexpr int kEventTimeoutMs = 5000;

// Where Qt last saw the pointer, in any window of this process: Qt drops a
// move to the place it already knows, whatever window it arrives in.
QPoint g_lastSeen(-1, -1);

bool copyTree(const QString &from, const QString &to)
{
    if (!QDir().mkpath(to))
        return false;
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    const QDir source(from);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = QDir(to).filePath(source.relativeFilePath(path));
        if (it.fileInfo().isDir()) {
            if (!QDir().mkpath(target))
                return false;
        } else if (!QFile::copy(path, target)) {
            return false;
        }
    }
    return true;
}

void collect(QObject *object, const QString &name, QList<QQuickItem *> &items, QList<QObject *> &seen)
{
    if (!object || seen.contains(object))
        return;
    seen.append(object);
    if (object->objectName() == name) {
        if (auto *item = qobject_cast<QQuickItem *>(object))
            items.append(item);
    }
    // Repeater and view delegates are visual children without being object
    // children of the item that shows them, so both trees are walked.
    if (auto *item = qobject_cast<QQuickItem *>(object)) {
        for (QQuickItem *child : item->childItems())
            collect(child, name, items, seen);
    }
    for (QObject *child : object->children())
        collect(child, name, items, seen);
}

template <typename Visit> void walk(QObject *object, Visit visit, QList<QObject *> &seen)
{
    if (!object || seen.contains(object))
        return;
    seen.append(object);
    visit(object);
    if (auto *item = qobject_cast<QQuickItem *>(object)) {
        for (QQuickItem *child : item->childItems())
            walk(child, visit, seen);
    }
    for (QObject *child : object->children())
        walk(child, visit, seen);
}

} // namespace

// Counts the pointer and key events Qt delivers to the main window, so that
// an injected event can be waited for instead of slept on.
class InputWatch : public QObject
{
public:
    explicit InputWatch(QWindow *window) : window(window) { qApp->installEventFilter(this); }
    ~InputWatch() override { qApp->removeEventFilter(this); }

    QPoint lastMove{-1, -1};
    int moves = 0;
    int presses[4] = {};
    int releases[4] = {};
    int keyPresses = 0;
    int keyReleases = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != window)
            return false;
        switch (event->type()) {
        case QEvent::MouseMove:
            lastMove = static_cast<QMouseEvent *>(event)->globalPos();
            g_lastSeen = lastMove;
            ++moves;
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            count(presses, static_cast<QMouseEvent *>(event)->button());
            break;
        case QEvent::MouseButtonRelease:
            count(releases, static_cast<QMouseEvent *>(event)->button());
            break;
        case QEvent::KeyPress:
            ++keyPresses;
            break;
        case QEvent::KeyRelease:
            if (!static_cast<QKeyEvent *>(event)->isAutoRepeat())
                ++keyReleases;
            break;
        default:
            break;
        }
        return false;
    }

private:
    static void count(int *counters, Qt::MouseButton button)
    {
        if (button == Qt::LeftButton)
            ++counters[1];
        else if (button == Qt::MiddleButton)
            ++counters[2];
        else if (button == Qt::RightButton)
            ++counters[3];
    }

    QWindow *window;
};

PropertyWatch::PropertyWatch(QObject *target, const char *property, std::function<void()> onChange)
    : m_onChange(std::move(onChange))
{
    if (!target)
        return;
    const QMetaObject *meta = target->metaObject();
    const QMetaProperty watched = meta->property(meta->indexOfProperty(property));
    if (!watched.isValid() || !watched.hasNotifySignal())
        return;
    m_valid = connect(target, watched.notifySignal(), this,
                      metaObject()->method(metaObject()->indexOfSlot("changed()")));
}

void PropertyWatch::changed()
{
    if (m_onChange)
        m_onChange();
}

int runOnPrivateDisplay(int argc, char **argv, const std::function<std::unique_ptr<QObject>()> &makeTest)
{
    // Events injected through XTEST reach every client of a server; a server
    // of our own keeps them from other tests and theirs from us.
    PrivateXServer server;
    if (!server.display().isEmpty())
        qputenv("DISPLAY", server.display().toLocal8Bit());
    else if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        fprintf(stderr, "guitest: no X server could be started and DISPLAY is empty\n");
        return 1;
    }
    int result = 0;
    {
        QApplication app(argc, argv);
        // Tests wait for what the window logs, whatever the environment says.
        QLoggingCategory::setFilterRules(QStringLiteral("gearpanel.*.debug=true"));
        QFontDatabase::addApplicationFont(stagedProgramFolder() + QStringLiteral("/Exo-Medium.ttf"));
        std::unique_ptr<QObject> test = makeTest();
        result = QTest::qExec(test.get(), argc, argv);
    }
    xinject::close();
    return result;
}

QString stagedProgramFolder()
{
    return QStringLiteral(GEARPANEL_STAGED_FOLDER);
}

GuiWindow::GuiWindow() : m_folder(std::make_unique<ProgramFolder>())
{
    // Settings and languages as they ship, from the sources: the staged
    // copies may hold what someone saved while running from the build tree.
    // Skins and sounds are made by the build.
    const QDir sources(QStringLiteral(GEARPANEL_SOURCE_MODULES));
    const QDir staged(stagedProgramFolder() + QStringLiteral("/modules"));
    const struct {
        QDir from;
        const char *sub;
    } parts[] = {{sources, "setting"}, {sources, "i18n"}, {staged, "img"}, {staged, "media"}};
    for (const auto &part : parts) {
        const QString sub = QString::fromLatin1(part.sub);
        if (!copyTree(part.from.filePath(sub), m_folder->path(QStringLiteral("modules/") + sub)))
            qWarning("guitest: could not copy %s", qPrintable(part.from.filePath(sub)));
    }
    QFile::remove(m_folder->path(QStringLiteral("modules/setting/README.md")));
    for (int slot = 0; slot < 4; ++slot)
        QDir().mkpath(m_folder->path(QStringLiteral("modules/macro%1").arg(slot)));
}

GuiWindow::~GuiWindow()
{
    stop();
}

bool GuiWindow::start(q3emu::Scenario scenario)
{
    return startWith(scenario, nullptr);
}

bool GuiWindow::start(const q3emu::KeyboardState &state)
{
    return startWith(q3emu::Scenario::Keyboard, &state);
}

bool GuiWindow::startWith(q3emu::Scenario scenario, const q3emu::KeyboardState *state)
{
    if (!xinject::available())
        return false;
    q3emu::reset(scenario);
    if (state)
        q3emu::setState(*state);
    m_window = std::make_unique<Widget>();
    m_window->checkDevice();
    m_window->showNormal();
    if (!QTest::qWaitForWindowExposed(m_window.get())) {
        qWarning("guitest: the window was never exposed");
        return false;
    }
    m_window->raise();
    m_window->activateWindow();
    if (!QTest::qWaitForWindowActive(m_window.get()))
        qWarning("guitest: the window did not become active; typing will not reach it");
    m_watch = std::make_unique<InputWatch>(m_window->windowHandle());
    // The pointer waits in the screen's far corner, off the window, so that
    // nothing starts out hovered.
    const QRect screen = m_window->screen()->geometry();
    xinject::moveTo(screen.right(), screen.bottom());
    m_window->startUi();
    QObject *timer = objectByName(QStringLiteral("protectTimer"));
    if (!timer) {
        qWarning("guitest: the root document has no protect timer");
        return false;
    }
    // Start-up locks for 1 ms, then releases with a lock of 0 ms once its
    // event arrives after initUI.
    if (!QTest::qWaitFor([&] { return timer->property("interval").toInt() == 0; }, kEventTimeoutMs)) {
        qWarning("guitest: the start-up event never released the lock");
        return false;
    }
    return waitUntilIdle();
}

void GuiWindow::stop()
{
    m_watch.reset();
    m_window.reset();
}

myQQuickView *GuiWindow::view() const
{
    return m_window ? m_window->view() : nullptr;
}

QQuickItem *GuiWindow::root() const
{
    return view() ? view()->rootObject() : nullptr;
}

QList<QQuickItem *> GuiWindow::itemsByName(const QString &name, QObject *scope) const
{
    QList<QQuickItem *> items;
    QList<QObject *> seen;
    collect(scope ? scope : root(), name, items, seen);
    return items;
}

QQuickItem *GuiWindow::itemByName(const QString &name, QObject *scope) const
{
    const QList<QQuickItem *> items = itemsByName(name, scope);
    for (QQuickItem *item : items) {
        if (item->isVisible())
            return item;
    }
    return items.isEmpty() ? nullptr : items.first();
}

QObject *GuiWindow::objectByName(const QString &name, QObject *scope) const
{
    QObject *found = nullptr;
    QList<QObject *> seen;
    walk(
        scope ? scope : root(),
        [&](QObject *object) {
            if (!found && object->objectName() == name)
                found = object;
        },
        seen);
    return found;
}

QVariant GuiWindow::rootProperty(const char *name) const
{
    return root() ? root()->property(name) : QVariant();
}

QPoint GuiWindow::centreOf(const QQuickItem *item) const
{
    return item ? screenPoint(item, QPointF(item->width() / 2, item->height() / 2)) : QPoint(-1, -1);
}

QPoint GuiWindow::screenPoint(const QQuickItem *item, QPointF local) const
{
    return item ? screenPoint(item->mapToScene(local)) : QPoint(-1, -1);
}

QPoint GuiWindow::screenPoint(QPointF scene) const
{
    // The view fills the window from its corner, so scene coordinates are
    // the view widget's coordinates.
    return view() ? view()->mapToGlobal(scene.toPoint()) : QPoint(-1, -1);
}

bool GuiWindow::isShown(const QQuickItem *item) const
{
    if (!item || !item->isVisible() || item->width() <= 0 || item->height() <= 0)
        return false;
    const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
    if (!QRectF(0, 0, view()->width(), view()->height()).contains(centre))
        return false;
    for (const QQuickItem *up = item; up; up = up->parentItem()) {
        if (up->opacity() <= 0)
            return false;
        if (up->clip() && !up->mapRectToScene(QRectF(0, 0, up->width(), up->height())).contains(centre))
            return false;
    }
    return true;
}

bool GuiWindow::moveTo(QPoint screen)
{
    if (!m_watch)
        return false;
    if (m_watch->lastMove == screen)
        return true;
    // A pointer already there moves nowhere and reports nothing: step aside
    // first, as a hand would.
    if (QCursor::pos() == screen || g_lastSeen == screen) {
        const QPoint aside = screen + QPoint(1, 1);
        const int before = m_watch->moves;
        xinject::moveTo(aside.x(), aside.y());
        if (!QTest::qWaitFor([&] { return m_watch->moves > before && m_watch->lastMove == aside; },
                             kEventTimeoutMs))
            qWarning("guitest: the step aside to (%d, %d) never arrived", aside.x(), aside.y());
    }
    const int before = m_watch->moves;
    xinject::moveTo(screen.x(), screen.y());
    if (!QTest::qWaitFor([&] { return m_watch->moves > before && m_watch->lastMove == screen; },
                         kEventTimeoutMs)) {
        // The pointer may have left the window (or never been inside it):
        // then no move arrives, and that is what a user would get too.
        if (!m_window->frameGeometry().contains(screen))
            return true;
        qWarning("guitest: the move to (%d, %d) never arrived", screen.x(), screen.y());
        return false;
    }
    return true;
}

bool GuiWindow::sendButton(QPoint screen, int button, bool down)
{
    if (!m_watch || button < 1 || button > 3)
        return false;
    if (!moveTo(screen))
        return false;
    int &counter = down ? m_watch->presses[button] : m_watch->releases[button];
    const int before = counter;
    xinject::button(button, down);
    if (!QTest::qWaitFor([&] { return counter > before; }, kEventTimeoutMs)) {
        qWarning("guitest: the %s of button %d at (%d, %d) never arrived", down ? "press" : "release", button,
                 screen.x(), screen.y());
        return false;
    }
    return true;
}

bool GuiWindow::press(QPoint screen, int button)
{
    return sendButton(screen, button, true);
}

bool GuiWindow::release(QPoint screen, int button)
{
    return sendButton(screen, button, false);
}

bool GuiWindow::click(QPoint screen, int button)
{
    return press(screen, button) && release(screen, button);
}

bool GuiWindow::click(const QQuickItem *item, int button)
{
    if (!item) {
        qWarning("guitest: no item to click");
        return false;
    }
    if (!isShown(item)) {
        qWarning("guitest: %s is not shown, a user could not click it", qPrintable(item->objectName()));
        return false;
    }
    return click(centreOf(item), button);
}

bool GuiWindow::click(const QString &name, int button)
{
    QQuickItem *item = itemByName(name);
    if (!item)
        qWarning("guitest: no item named %s", qPrintable(name));
    return item && click(item, button);
}

bool GuiWindow::drag(QPoint from, QPoint to, int steps)
{
    if (!press(from))
        return false;
    steps = qMax(1, steps);
    for (int i = 1; i <= steps; ++i) {
        const QPoint step = from + (to - from) * i / steps;
        if (!moveTo(step))
            return false;
    }
    return release(to);
}

bool GuiWindow::sendKey(unsigned long keysym, bool shift)
{
    if (!m_watch)
        return false;
    const int before = m_watch->keyReleases;
    if (!xinject::key(keysym, shift))
        return false;
    const int expected = before + (shift ? 2 : 1);
    if (!QTest::qWaitFor([&] { return m_watch->keyReleases >= expected; }, kEventTimeoutMs)) {
        qWarning("guitest: the key 0x%lx never reached the window (has it the focus?)", keysym);
        return false;
    }
    return true;
}

bool GuiWindow::typeText(const QString &text)
{
    for (const QChar c : text) {
        bool shift = false;
        const unsigned long keysym = c.unicode() < 0x80 ? xinject::keysymFor(char(c.unicode()), shift) : 0;
        if (keysym == 0) {
            qWarning("guitest: cannot type U+%04x", c.unicode());
            return false;
        }
        if (!sendKey(keysym, shift))
            return false;
    }
    return true;
}

bool GuiWindow::waitForAnimations(int timeoutMs)
{
    auto anyRunning = [this] {
        bool running = false;
        QList<QObject *> seen;
        walk(
            root(),
            [&](QObject *object) {
                if (!running && object->inherits("QQuickAbstractAnimation") &&
                    object->property("running").toBool() && object->property("loops").toInt() != -1)
                    running = true;
            },
            seen);
        return running;
    };
    if (!root())
        return false;
    if (!QTest::qWaitFor([&] { return !anyRunning(); }, timeoutMs)) {
        qWarning("guitest: animations still run after %d ms", timeoutMs);
        return false;
    }
    // Whatever the end of an animation started (a second slide, a hide).
    QCoreApplication::processEvents();
    return QTest::qWaitFor([&] { return !anyRunning(); }, timeoutMs);
}

bool GuiWindow::waitUntilIdle(int timeoutMs)
{
    QObject *timer = objectByName(QStringLiteral("protectTimer"));
    if (!timer || !view())
        return false;
    if (!QTest::qWaitFor([&] { return !timer->property("running").toBool() && view()->isEnabled(); },
                         timeoutMs)) {
        qWarning("guitest: the busy lock was not released within %d ms", timeoutMs);
        return false;
    }
    return waitForAnimations(timeoutMs);
}

} // namespace guitest
