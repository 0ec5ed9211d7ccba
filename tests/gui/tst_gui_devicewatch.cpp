// The window following the keyboard on the emulated one: unplugged while the
// window runs, plugged in again, plugged in with another state, each change
// arriving as a hidraw event through the emulator's libudev stand-in.
#include "debugcapture.h"
#include "guiharness.h"
#include "linkfixture.h"

#include "myquickview.h"
#include "widget.h"

#include <QQuickItem>
#include <QSignalSpy>
#include <QtTest>

using guitest::GuiWindow;

namespace {

const char *const kProfile1 = "modules/setting/p1.bin";

// Pulls the keyboard out as the kernel reports it: both interfaces go.
void unplugKeyboard()
{
    q3emu::unplug(q3emu::Interface::Command);
    q3emu::unplug(q3emu::Interface::Event);
}

// Plugs it in as the kernel does: the event interface follows the command
// interface some tens of milliseconds later, each with its own event.
void plugKeyboard()
{
    q3emu::plug(q3emu::Interface::Command);
    QTest::qWait(40);
    q3emu::plug(q3emu::Interface::Event);
}

QList<int> commandsSent()
{
    QList<int> codes;
    for (const q3emu::TraceEntry &entry : fixture::traceOf(q3emu::TraceEntry::Kind::FeatureSent)) {
        if (entry.bytes.size() >= 2)
            codes.append(entry.bytes[1]);
    }
    return codes;
}

} // namespace

class tst_GuiDeviceWatch : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void unplugDisablesSendingAndWritesNothing();
    void replugBringsTheControlsAndMonitorBack();
    void replugInAnotherStateShowsIt();
    void unrelatedDevicesLeaveTheLinkAlone();
    void startWithoutKeyboardThenPlugIn();

private:
    bool connected() const { return gui->rootProperty("keyboardConnected").toBool(); }
    bool enabled(const char *name) const
    {
        QQuickItem *item = gui->itemByName(QString::fromLatin1(name));
        return item && item->isEnabled();
    }
    bool settle() { return gui->waitUntilIdle() && fixture::waitUntilIdle(gui->window()->link()); }
    bool openKeyPage()
    {
        return gui->click(gui->itemByName(QStringLiteral("funcButton0"))) && gui->waitForAnimations() &&
               gui->itemByName(QStringLiteral("keyApplyButton"));
    }

    std::unique_ptr<GuiWindow> gui;
};

void tst_GuiDeviceWatch::init()
{
    gui = std::make_unique<GuiWindow>();
}

void tst_GuiDeviceWatch::cleanup()
{
    gui.reset();
}

void tst_GuiDeviceWatch::unplugDisablesSendingAndWritesNothing()
{
    QVERIFY(gui->start());
    QVERIFY(openKeyPage());
    QVERIFY(connected());
    QQuickItem *text = gui->itemByName(QStringLiteral("noKeyboardText"));
    QVERIFY(text);
    QVERIFY(!gui->isShown(text));
    QVERIFY(enabled("keyApplyButton"));

    unplugKeyboard();
    QTRY_VERIFY(!connected());
    QTRY_VERIFY(gui->isShown(text));
    QCOMPARE(text->property("text").toString(), QStringLiteral("no keyboard connected"));
    QVERIFY(!gui->window()->link().isMonitorRunning());
    QVERIFY(!enabled("keyApplyButton"));
    QVERIFY(!enabled("allSaveButton"));
    QVERIFY(!enabled("profileButton1"));
    QVERIFY(enabled("allResetButton"));

    // APPLY, ALL SAVE and a profile choice: nothing is sent, no file changes.
    const QByteArray before = gui->folder().read(QString::fromLatin1(kProfile1));
    q3emu::clearTrace();
    QVERIFY(gui->click(QStringLiteral("keyApplyButton")));
    QVERIFY(gui->click(QStringLiteral("allSaveButton")));
    QVERIFY(gui->click(QStringLiteral("profileButton2")));
    // Straight to the view as well, as a page not yet guarded would call it.
    QVariantList matrix;
    for (int i = 0; i < 256; ++i)
        matrix.append(4);
    gui->view()->ui_0C0DH_SetKeyMatrix(matrix);
    gui->view()->ui_21H_SetCurrentProfile(3);
    QVERIFY(settle());
    QCOMPARE(commandsSent(), QList<int>());
    QCOMPARE(gui->folder().read(QString::fromLatin1(kProfile1)), before);
    QCOMPARE(gui->rootProperty("profile").toInt(), 0);
    QCOMPARE(gui->view()->activeProfile(), uchar(0));
}

void tst_GuiDeviceWatch::replugBringsTheControlsAndMonitorBack()
{
    QVERIFY(gui->start());
    QVERIFY(openKeyPage());
    unplugKeyboard();
    QTRY_VERIFY(!connected());

    fixture::DebugCapture debug;
    // Half a keyboard is no keyboard.
    q3emu::plug(q3emu::Interface::Command);
    QTest::qWait(300);
    QVERIFY(!connected());
    QVERIFY(!gui->window()->link().isMonitorRunning());
    q3emu::plug(q3emu::Interface::Event);
    QTRY_VERIFY(connected());
    QTRY_VERIFY(gui->window()->link().isMonitorRunning());
    QVERIFY(!gui->isShown(gui->itemByName(QStringLiteral("noKeyboardText"))));
    QVERIFY(enabled("keyApplyButton"));
    QVERIFY(enabled("allSaveButton"));
    QVERIFY(enabled("profileButton1"));

    // The monitor runs on the new paths: an event report reaches QML.
    q3emu::pressLightingKeys(5, 3, 1);
    QTRY_VERIFY(debug.lines().contains(QStringLiteral("zzzTovrin 0 5 3 1")));

    // And a profile chosen in the window reaches the keyboard.
    QVERIFY(settle());
    QVERIFY(gui->click(QStringLiteral("profileButton2")));
    QVERIFY(settle());
    QTRY_COMPARE(q3emu::state().activeProfile, uint8_t(2));
    QCOMPARE(gui->rootProperty("profile").toInt(), 2);
}

void tst_GuiDeviceWatch::replugInAnotherStateShowsIt()
{
    QVERIFY(gui->start());
    QCOMPARE(gui->rootProperty("profile").toInt(), 0);
    QVERIFY(!gui->rootProperty("isShowUpdateBtn").toBool());
    // The lighting page is made when first shown.
    QVERIFY(gui->click(gui->itemByName(QStringLiteral("funcButton2"))));
    QVERIFY(gui->waitForAnimations());
    QQuickItem *colorPage = gui->itemByName(QStringLiteral("colorPage"));
    QVERIFY(colorPage);
    QCOMPARE(colorPage->property("readEffect").toInt(), 0x00);
    unplugKeyboard();
    QTRY_VERIFY(!connected());

    // Another keyboard: profile 3 active, its own lighting, new firmware,
    // the Spanish layout.
    q3emu::KeyboardState other = q3emu::state();
    other.activeProfile = 3;
    other.profiles[3].lighting[0] = 0x07;
    other.firmwareVersion = 0x0203;
    other.layoutMode = 1;
    q3emu::setState(other);
    plugKeyboard();
    QTRY_VERIFY(connected());
    QTRY_COMPARE(gui->rootProperty("profile").toInt(), 3);
    QQuickItem *menu = gui->itemByName(QStringLiteral("menuProf"));
    QVERIFY(menu);
    QTRY_COMPARE(menu->property("currentIndex").toInt(), 3);
    QTRY_VERIFY(gui->rootProperty("isShowUpdateBtn").toBool());
    QTRY_COMPARE(gui->rootProperty("layout").toInt(), 1);
    QCOMPARE(gui->view()->activeProfile(), uchar(3));
    QCOMPARE(gui->view()->keyboardLayout(), uchar(1));
    QTRY_COMPARE(colorPage->property("readEffect").toInt(), 0x07);
}

void tst_GuiDeviceWatch::unrelatedDevicesLeaveTheLinkAlone()
{
    QVERIFY(gui->start(q3emu::Scenario::KeyboardAndMouse));
    QVERIFY(connected());
    QSignalSpy changes(gui->window(), &Widget::keyboardChanged);
    q3emu::unplug(q3emu::Interface::Mouse);
    q3emu::plug(q3emu::Interface::Mouse);
    QTest::qWait(300);
    QCOMPARE(changes.count(), 0);
    QVERIFY(connected());
    QVERIFY(gui->window()->link().isMonitorRunning());
}

void tst_GuiDeviceWatch::startWithoutKeyboardThenPlugIn()
{
    QVERIFY(gui->start(q3emu::Scenario::NoKeyboard));
    QTRY_VERIFY(!connected());
    QVERIFY(gui->isShown(gui->itemByName(QStringLiteral("noKeyboardText"))));
    QVERIFY(!enabled("allSaveButton"));
    plugKeyboard();
    QTRY_VERIFY(connected());
    QTRY_VERIFY(gui->window()->link().isMonitorRunning());
    QVERIFY(enabled("allSaveButton"));
}

GUITEST_MAIN(tst_GuiDeviceWatch)
#include "tst_gui_devicewatch.moc"
