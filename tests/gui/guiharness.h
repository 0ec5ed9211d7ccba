// The window as a user meets it, for end-to-end tests: the real main window
// with its view and root document, on the emulated keyboard, in a scratch
// program folder holding what the build stages beside the program, driven
// with real X pointer and key events on an X server of the test's own.
//
// Every input helper sends its events through XTEST and returns only once
// Qt has delivered them to the window, so a test can check the effect right
// after a click (or wait for animations it started). They return false, with
// a warning saying why, when an item is missing or an event never arrives.
#pragma once

#include "programfolder.h"
#include "q3emu.h"

#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointF>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

class QQuickItem;
class Widget;
class myQQuickView;

namespace guitest {

// Starts a private X server and makes it DISPLAY, builds the application
// with the shipped font registered, and runs the test object made by
// `makeTest` through QTest. Falls back to the DISPLAY it was given when no
// server of its own can be started.
int runOnPrivateDisplay(int argc, char **argv, const std::function<std::unique_ptr<QObject>()> &makeTest);

// The build's staged program folder (build/bin).
QString stagedProgramFolder();

class InputWatch;

// Calls `onChange` whenever a property of a QML object changes, at the very
// moment it does (to see what else stood where at that time).
class PropertyWatch : public QObject
{
    Q_OBJECT
public:
    PropertyWatch(QObject *target, const char *property, std::function<void()> onChange);
    bool isValid() const { return m_valid; }

private slots:
    void changed();

private:
    std::function<void()> m_onChange;
    bool m_valid = false;
};

class GuiWindow
{
public:
    // A program folder holding what ships (settings and languages from the
    // sources, skins and sounds as the build made them, empty macro folders)
    // that is the current directory while this lives. Nothing starts before
    // start().
    GuiWindow();
    ~GuiWindow();
    GuiWindow(const GuiWindow &) = delete;
    GuiWindow &operator=(const GuiWindow &) = delete;

    ProgramFolder &folder() { return *m_folder; }

    // Does what start-up does (window, device check, shown, raised and
    // active, start-up calls) on the emulated keyboard reset to `scenario`
    // with `state` stored in it, then waits until the start-up lock is gone
    // and animations are over.
    bool start(q3emu::Scenario scenario = q3emu::Scenario::Keyboard);
    bool start(const q3emu::KeyboardState &state);
    // Destroys the window as the end of the program does.
    void stop();

    Widget *window() const { return m_window.get(); }
    myQQuickView *view() const;
    QQuickItem *root() const;

    // Items whose objectName is `name`, anywhere below `scope` (the root
    // when null), visual children and other objects alike, in tree order.
    QList<QQuickItem *> itemsByName(const QString &name, QObject *scope = nullptr) const;
    // The first visible such item, else the first one, else null.
    QQuickItem *itemByName(const QString &name, QObject *scope = nullptr) const;
    // Any object (timers, animations, models) by its objectName.
    QObject *objectByName(const QString &name, QObject *scope = nullptr) const;
    QVariant rootProperty(const char *name) const;

    // Screen coordinates of the item's centre, or of a point of the item.
    QPoint centreOf(const QQuickItem *item) const;
    QPoint screenPoint(const QQuickItem *item, QPointF local) const;
    // Screen coordinates of a point of the window (scene coordinates).
    QPoint screenPoint(QPointF scene) const;
    // Whether the item and all its ancestors are visible, it lies inside the
    // window and no clipping ancestor cuts its centre away.
    bool isShown(const QQuickItem *item) const;

    bool moveTo(QPoint screen);
    bool click(QPoint screen, int button = 1);
    bool click(const QQuickItem *item, int button = 1);
    bool click(const QString &name, int button = 1);
    bool rightClick(QPoint screen) { return click(screen, 3); }
    bool rightClick(const QQuickItem *item) { return click(item, 3); }
    bool rightClick(const QString &name) { return click(name, 3); }
    bool press(QPoint screen, int button = 1);
    bool release(QPoint screen, int button = 1);
    // Press at `from`, move in `steps` steps, release at `to`.
    bool drag(QPoint from, QPoint to, int steps = 8);
    // Types ASCII text into the window with the focus; "\n" is Return,
    // "\t" Tab, "\b" BackSpace.
    bool typeText(const QString &text);

    // Waits until no finite animation of the document runs (endless ones,
    // such as the busy indicator's pulse, do not count).
    bool waitForAnimations(int timeoutMs = 10000);
    // Waits until the busy lock is released and animations are over.
    bool waitUntilIdle(int timeoutMs = 10000);

private:
    bool startWith(q3emu::Scenario scenario, const q3emu::KeyboardState *state);
    bool sendButton(QPoint screen, int button, bool down);
    bool sendKey(unsigned long keysym, bool shift);

    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<Widget> m_window;
    std::unique_ptr<InputWatch> m_watch;
};

} // namespace guitest

#define GUITEST_MAIN(TestClass)                                                                              \
    int main(int argc, char *argv[])                                                                         \
    {                                                                                                        \
        return guitest::runOnPrivateDisplay(argc, argv, [] { return std::make_unique<TestClass>(); });       \
    }
