// What a screen reader learns of the window through Qt's accessibility
// interfaces, read in-process: where the QML items hang, whether they say
// they are shown and enabled, where they are, and that holding them while
// the view goes is safe. First on a small scene of known items, then on the
// real main window.
#include "guiharness.h"

#include "myquickview.h"
#include "viewaccessibility.h"
#include "widget.h"

#include <QAccessible>
#include <QQuickItem>
#include <QQuickWidget>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

using guitest::GuiWindow;

namespace {

// Items named by what a reader should say of them; 300 by 200 in a view of
// that size, which starts 20 pixels into its window.
const char kScene[] = R"(import QtQuick 2.15
Rectangle {
    width: 300; height: 200
    property int presses: 0
    Rectangle { x: 10; y: 10; width: 40; height: 20
        Accessible.role: Accessible.Button; Accessible.name: "Plain"
        Accessible.onPressAction: presses++ }
    Item { enabled: false
        Rectangle { x: 60; y: 10; width: 40; height: 20
            Accessible.role: Accessible.Button; Accessible.name: "InDisabled" } }
    Rectangle { x: 110; y: 10; width: 40; height: 20; visible: false
        Accessible.role: Accessible.Button; Accessible.name: "Hidden" }
    Item { visible: false
        Rectangle { x: 160; y: 10; width: 40; height: 20
            Accessible.role: Accessible.Button; Accessible.name: "InHidden" } }
    Item { opacity: 0
        Rectangle { x: 210; y: 10; width: 40; height: 20
            Accessible.role: Accessible.Button; Accessible.name: "Transparent" } }
    Item { opacity: 0.2
        Rectangle { x: 10; y: 50; width: 40; height: 20
            Accessible.role: Accessible.Button; Accessible.name: "Dimmed" } }
    Item { x: 60; y: 50; width: 40; height: 40; clip: true
        Rectangle { x: 60; width: 40; height: 20
            Accessible.role: Accessible.Button; Accessible.name: "ClippedOut" }
        Rectangle { x: 20; y: 10; width: 40; height: 20
            Accessible.role: Accessible.Button; Accessible.name: "HalfClipped" } }
    Rectangle { x: 280; y: 100; width: 40; height: 20
        Accessible.role: Accessible.Button; Accessible.name: "HalfOutside" }
    Rectangle { x: 310; y: 100; width: 40; height: 20
        Accessible.role: Accessible.Button; Accessible.name: "Outside" }
    Item { x: 10; y: 150; width: 30; height: 30
        Item { Accessible.role: Accessible.Button; Accessible.name: "Unsized" } }
}
)";

// The first interface below `from` with that role and name, one that is
// shown if any; depth-first in child order.
QAccessibleInterface *find(QAccessibleInterface *from, QAccessible::Role role, const QString &name)
{
    QAccessibleInterface *hidden = nullptr;
    std::function<QAccessibleInterface *(QAccessibleInterface *, int)> visit =
        [&](QAccessibleInterface *node, int depth) -> QAccessibleInterface * {
        if (!node || depth > 60)
            return nullptr;
        if (node->role() == role && node->text(QAccessible::Name) == name) {
            if (!node->state().invisible)
                return node;
            if (!hidden)
                hidden = node;
        }
        for (int i = 0; i < node->childCount(); ++i) {
            if (QAccessibleInterface *found = visit(node->child(i), depth + 1))
                return found;
        }
        return nullptr;
    };
    QAccessibleInterface *shown = visit(from, 0);
    return shown ? shown : hidden;
}

QAccessibleInterface *button(QAccessibleInterface *from, const char *name)
{
    return find(from, QAccessible::Button, QString::fromLatin1(name));
}

// The button below `from` whose item has that objectName.
QAccessibleInterface *buttonObject(QAccessibleInterface *from, const char *objectName)
{
    std::function<QAccessibleInterface *(QAccessibleInterface *, int)> visit =
        [&](QAccessibleInterface *node, int depth) -> QAccessibleInterface * {
        if (!node || depth > 60)
            return nullptr;
        if (node->role() == QAccessible::Button && node->object()
            && node->object()->objectName() == QLatin1String(objectName))
            return node;
        for (int i = 0; i < node->childCount(); ++i) {
            if (QAccessibleInterface *found = visit(node->child(i), depth + 1))
                return found;
        }
        return nullptr;
    };
    return visit(from, 0);
}

// Whether following parents from `node` reaches `ancestor`, and every step
// is a child its parent counts.
bool hangsUnder(QAccessibleInterface *node, QAccessibleInterface *ancestor)
{
    for (int depth = 0; node && depth < 60; ++depth) {
        QAccessibleInterface *parent = node->parent();
        if (!parent || parent->indexOfChild(node) < 0 || parent->child(parent->indexOfChild(node)) != node)
            return false;
        if (parent == ancestor)
            return true;
        node = parent;
    }
    return false;
}

QRect screenRectOf(const QWidget *widget)
{
    return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
}

bool press(QAccessibleInterface *iface)
{
    QAccessibleActionInterface *actions = iface ? iface->actionInterface() : nullptr;
    if (!actions || !actions->actionNames().contains(QAccessibleActionInterface::pressAction()))
        return false;
    actions->doAction(QAccessibleActionInterface::pressAction());
    return true;
}

} // namespace

class tst_GuiAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void sceneItemsHangUnderTheirView();
    void sceneItemsSayWhetherTheyAreShown_data();
    void sceneItemsSayWhetherTheyAreShown();
    void hiddenViewHidesItsItems();
    void itemsGoWithTheirView();

    void windowControlsFollowTheSettingsPanel();
    void heldInterfacesSurviveTheWindow();

private:
    QQuickWidget *makeScene();

    QTemporaryDir dir;
    std::unique_ptr<QWidget> sceneWindow;
    std::unique_ptr<GuiWindow> gui;
};

void tst_GuiAccessibility::initTestCase()
{
    QVERIFY(dir.isValid());
    QFile file(dir.filePath(QStringLiteral("scene.qml")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(kScene);
    file.close();
    QAccessible::setActive(true);
    viewaccessibility::install();
}

void tst_GuiAccessibility::init()
{
    gui = std::make_unique<GuiWindow>();
}

void tst_GuiAccessibility::cleanup()
{
    sceneWindow.reset();
    gui.reset();
}

QQuickWidget *tst_GuiAccessibility::makeScene()
{
    sceneWindow = std::make_unique<QWidget>();
    auto *layout = new QVBoxLayout(sceneWindow.get());
    layout->setContentsMargins(20, 20, 20, 20);
    auto *view = new QQuickWidget(sceneWindow.get());
    view->setFixedSize(300, 200);
    layout->addWidget(view);
    view->setSource(QUrl::fromLocalFile(dir.filePath(QStringLiteral("scene.qml"))));
    if (view->status() != QQuickWidget::Ready)
        return nullptr;
    sceneWindow->move(100, 100);
    sceneWindow->show();
    if (!QTest::qWaitForWindowExposed(sceneWindow.get()))
        return nullptr;
    return view;
}

void tst_GuiAccessibility::sceneItemsHangUnderTheirView()
{
    QQuickWidget *view = makeScene();
    QVERIFY(view);
    QAccessibleInterface *app = QAccessible::queryAccessibleInterface(qApp);
    QAccessibleInterface *viewIface = QAccessible::queryAccessibleInterface(view);
    QVERIFY(app && viewIface);

    // No separate top-level window for the scene.
    for (int i = 0; i < app->childCount(); ++i) {
        QAccessibleInterface *top = app->child(i);
        QVERIFY(top);
        QVERIFY2(!qobject_cast<QQuickWindow *>(top->object()), qPrintable(top->text(QAccessible::Name)));
        QCOMPARE(app->indexOfChild(top), i);
    }

    // Every accessible item is reachable from the view, and back.
    QAccessibleInterface *plain = button(viewIface, "Plain");
    QVERIFY(plain);
    QVERIFY(viewIface->childCount() >= 11);
    QVERIFY(hangsUnder(plain, viewIface));
    QVERIFY(hangsUnder(viewIface, app));
    QCOMPARE(plain->window(), sceneWindow->windowHandle());

    // A screen point finds the topmost shown item there.
    const QPoint centre = plain->rect().center();
    QCOMPARE(viewIface->childAt(centre.x(), centre.y()), plain);

    // The press action still reaches the document.
    QVERIFY(press(plain));
    QCOMPARE(view->rootObject()->property("presses").toInt(), 1);
}

void tst_GuiAccessibility::sceneItemsSayWhetherTheyAreShown_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<bool>("enabled");
    // The part of the item that can be seen, in view coordinates.
    QTest::addColumn<QRect>("area");

    QTest::newRow("plain") << "Plain" << true << true << QRect(10, 10, 40, 20);
    QTest::newRow("in a disabled item") << "InDisabled" << true << false << QRect(60, 10, 40, 20);
    QTest::newRow("hidden") << "Hidden" << false << true << QRect();
    QTest::newRow("in a hidden item") << "InHidden" << false << true << QRect();
    QTest::newRow("in a transparent item") << "Transparent" << false << true << QRect();
    QTest::newRow("dimmed") << "Dimmed" << true << true << QRect(10, 50, 40, 20);
    QTest::newRow("clipped away") << "ClippedOut" << false << true << QRect();
    QTest::newRow("half clipped") << "HalfClipped" << true << true << QRect(80, 60, 20, 20);
    QTest::newRow("half outside the view") << "HalfOutside" << true << true << QRect(280, 100, 20, 20);
    QTest::newRow("outside the view") << "Outside" << false << true << QRect();
    QTest::newRow("no size of its own") << "Unsized" << true << true << QRect(10, 150, 30, 30);
}

void tst_GuiAccessibility::sceneItemsSayWhetherTheyAreShown()
{
    QFETCH(QString, name);
    QFETCH(bool, shown);
    QFETCH(bool, enabled);
    QFETCH(QRect, area);

    QQuickWidget *view = makeScene();
    QVERIFY(view);
    QAccessibleInterface *item = find(QAccessible::queryAccessibleInterface(view), QAccessible::Button, name);
    QVERIFY(item);
    QCOMPARE(!item->state().invisible, shown);
    QCOMPARE(!item->state().disabled, enabled);
    const QRect expected = area.isNull() ? QRect() : area.translated(view->mapToGlobal(QPoint(0, 0)));
    QCOMPARE(item->rect(), expected);
}

void tst_GuiAccessibility::hiddenViewHidesItsItems()
{
    QQuickWidget *view = makeScene();
    QVERIFY(view);
    QAccessibleInterface *plain = button(QAccessible::queryAccessibleInterface(view), "Plain");
    QVERIFY(plain && !plain->state().invisible);
    sceneWindow->hide();
    QVERIFY(plain->state().invisible);
    QVERIFY(plain->rect().isNull());
    sceneWindow->show();
    QVERIFY(!plain->state().invisible);
}

void tst_GuiAccessibility::itemsGoWithTheirView()
{
    QQuickWidget *view = makeScene();
    QVERIFY(view);
    QAccessibleInterface *viewIface = QAccessible::queryAccessibleInterface(view);
    QList<QAccessible::Id> ids;
    for (int i = 0; i < viewIface->childCount(); ++i)
        ids.append(QAccessible::uniqueId(viewIface->child(i)));
    QVERIFY(ids.size() >= 11);

    // One item goes while the document stays.
    QAccessibleInterface *plain = button(viewIface, "Plain");
    const QAccessible::Id plainId = QAccessible::uniqueId(plain);
    delete plain->object();
    QVERIFY(!QAccessible::accessibleInterface(plainId));
    QVERIFY(!button(viewIface, "Plain"));
    QVERIFY(button(viewIface, "Dimmed"));

    // Then the whole view, with interfaces of the rest held by id.
    sceneWindow.reset();
    for (QAccessible::Id id : qAsConst(ids)) {
        if (QAccessibleInterface *held = QAccessible::accessibleInterface(id)) {
            QVERIFY(!held->isValid());
            held->state();
            held->rect();
        }
    }
}

void tst_GuiAccessibility::windowControlsFollowTheSettingsPanel()
{
    QVERIFY(gui->start());
    QAccessibleInterface *window = QAccessible::queryAccessibleInterface(gui->window());
    QVERIFY(window);
    const QRect windowRect = screenRectOf(gui->window());

    QAccessibleInterface *settings = button(window, "Settings");
    QVERIFY(settings);
    QVERIFY(hangsUnder(settings, window));
    QVERIFY(!settings->state().invisible);
    QVERIFY(windowRect.contains(settings->rect()));

    QAccessibleInterface *allSave = button(window, "ALL SAVE");
    // The settings panel's APPLY; the key page has one of its own.
    QAccessibleInterface *apply = buttonObject(window, "applyButton");
    QVERIFY(allSave && apply);
    QCOMPARE(apply->text(QAccessible::Name), QStringLiteral("APPLY"));
    QVERIFY(!allSave->state().invisible);
    QVERIFY(!allSave->state().disabled);
    QVERIFY(!allSave->rect().isEmpty());
    QVERIFY(windowRect.contains(allSave->rect()));
    QVERIFY(apply->state().invisible);
    QVERIFY(apply->rect().isNull());

    // Opened by the reader's press, the panel dims the menus: still shown,
    // but not to be used.
    QVERIFY(press(settings));
    QVERIFY(gui->waitForAnimations());
    QTRY_VERIFY(!apply->state().invisible);
    QVERIFY(windowRect.contains(apply->rect()));
    QVERIFY(allSave->state().disabled);
    QVERIFY(!allSave->state().invisible);
    QVERIFY(!settings->state().disabled);

    QVERIFY(press(settings));
    QVERIFY(gui->waitForAnimations());
    QTRY_VERIFY(apply->state().invisible);
    QVERIFY(!allSave->state().disabled);
}

void tst_GuiAccessibility::heldInterfacesSurviveTheWindow()
{
    QVERIFY(gui->start());
    QAccessibleInterface *window = QAccessible::queryAccessibleInterface(gui->window());
    QAccessibleInterface *settings = button(window, "Settings");
    QVERIFY(settings);
    QList<QAccessible::Id> held;
    for (QAccessibleInterface *node = settings; node; node = node->parent())
        held.append(QAccessible::uniqueId(node));
    held.append(QAccessible::uniqueId(button(window, "APPLY")));
    held.append(QAccessible::uniqueId(QAccessible::queryAccessibleInterface(gui->view())));

    gui->stop();
    for (QAccessible::Id id : qAsConst(held)) {
        if (QAccessibleInterface *iface = QAccessible::accessibleInterface(id)) {
            // Only what outlives the window (the application) may be left.
            QVERIFY(iface->isValid() ? iface->object() == qApp : true);
            iface->childCount();
        }
    }
    QAccessibleInterface *app = QAccessible::queryAccessibleInterface(qApp);
    for (int i = 0; i < app->childCount(); ++i)
        QVERIFY(app->child(i));
}

GUITEST_MAIN(tst_GuiAccessibility)
#include "tst_gui_accessibility.moc"
