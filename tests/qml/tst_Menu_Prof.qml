import QtQuick 2.15
import QtTest 1.15
import "../../modules/qml/Q3"

// The profile menu: left clicks choose, right clicks open the file menu whose
// choices reach the view and reload the pages only for the selected profile.
Item {
    id: mainIten
    width: 1000
    height: 600

    property int globalSetting_size: 11
    property color globalSetting_color: "#ff6e6e6e"
    property color globalSetting_color_enable: "#ffffffff"
    property color globalSetting_color_disable: "#FFAAAAAA"
    property string globalSetting_fontFamily: "Exo"
    property var globalSetting_stringList: []
    property int animation_speed: 10
    property int skin_No: 1
    property url sourceListPfContainer: "file:modules/img/skin1/list_pf/listPfContainer.png"
    property url sourceFW0: "file:modules/img/skin1/list_pf/profileFW_0.png"
    property url sourceFW1: "file:modules/img/skin1/list_pf/profileFW_1.png"
    property bool keyboardConnected: true

    QtObject {
        id: ui_View
        property var calls: []
        function record(call) { calls = calls.concat([call]) }
        function playMedia_Index(n) { record("sound " + n) }
        function loadProfile(n) { record("loadProfile " + n) }
        function saveProfile(n) { record("saveProfile " + n) }
        function resetProfile(n) { record("resetProfile " + n) }
    }

    Menu_Prof {
        id: menu
        x: 919
        y: 207
    }

    SignalSpy {
        id: spy
        target: menu
        signalName: "indexChanged_btn"
    }

    TestCase {
        name: "Menu_Prof"
        when: windowShown

        function entry(i) {
            return findChild(menu, "profileButton" + i)
        }
        function popup() {
            return findChild(mainIten, "profileMenu")
        }
        function menuEntry(name) {
            return findChild(mainIten, name)
        }
        // The view calls other than sounds.
        function viewCalls() {
            return ui_View.calls.filter(function (c) { return c.indexOf("sound") !== 0 })
        }
        function rightClick(i) {
            mouseClick(entry(i), 10, 10, Qt.RightButton)
            verify(menu.menuOpen)
        }

        function init() {
            menu.enabled = true
            mainIten.keyboardConnected = true
            menu.currentIndex = 0
            menu.controlMenu()
            tryCompare(popup(), "visible", false)
            ui_View.calls = []
            spy.clear()
        }

        function test_leftClickChoosesAnotherProfile() {
            mouseClick(entry(2))
            compare(menu.currentIndex, 2)
            compare(spy.count, 1)
            compare(spy.signalArguments[0][0], 2)
            // The selected one again: nothing to reload.
            mouseClick(entry(2))
            compare(spy.count, 1)
            verify(ui_View.calls.indexOf("sound 4") >= 0)
        }

        function test_popupBesideTheEntry() {
            rightClick(3)
            var box = popup()
            tryCompare(box, "opacity", 1.0)
            compare(box.width, 80)
            compare(box.height, 80)
            var at = entry(3).mapToItem(mainIten, 0, 0)
            compare(box.y, at.y)
            verify(box.x + box.width <= at.x)
            verify(box.x >= 0)
            compare(menuEntry("profileMenuLoad").Accessible.name, "LOAD")
            compare(menuEntry("profileMenuCancel").Accessible.name, "CANCEL")
            // Nothing chosen by opening it.
            compare(menu.currentIndex, 0)
            compare(viewCalls(), [])
        }

        function test_choices_data() {
            return [
                { tag: "load into another", profile: 2, choice: "profileMenuLoad", call: "loadProfile 2", reloads: false },
                { tag: "load into the selected", profile: 0, choice: "profileMenuLoad", call: "loadProfile 0", reloads: true },
                { tag: "reset another", profile: 3, choice: "profileMenuReset", call: "resetProfile 3", reloads: false },
                { tag: "reset the selected", profile: 0, choice: "profileMenuReset", call: "resetProfile 0", reloads: true },
                { tag: "save the selected", profile: 0, choice: "profileMenuSave", call: "saveProfile 0", reloads: false },
                { tag: "save another", profile: 1, choice: "profileMenuSave", call: "saveProfile 1", reloads: false },
                { tag: "cancel", profile: 0, choice: "profileMenuCancel", call: "", reloads: false }
            ]
        }
        function test_choices(data) {
            rightClick(data.profile)
            mouseClick(menuEntry(data.choice))
            compare(viewCalls(), data.call === "" ? [] : [data.call])
            // The menu is closed before the view is asked.
            verify(!menu.menuOpen)
            compare(menu.currentIndex, 0)
            compare(spy.count, data.reloads ? 1 : 0)
            if (data.reloads)
                compare(spy.signalArguments[0][0], data.profile)
            tryCompare(popup(), "visible", false)
        }

        function test_closedPopupTakesNoClicks() {
            rightClick(1)
            menu.controlMenu()
            // Still fading out, but already out of reach.
            mouseClick(menuEntry("profileMenuLoad"))
            menu.menuChoice(0)
            compare(viewCalls(), [])
        }

        function test_leftClickClosesAnOpenPopup() {
            rightClick(1)
            mouseClick(entry(2))
            verify(!menu.menuOpen)
            compare(menu.currentIndex, 2)
        }

        function test_keyboard() {
            entry(1).forceActiveFocus()
            keyClick(Qt.Key_Return)
            compare(menu.currentIndex, 1)
            keyClick(Qt.Key_Menu)
            verify(menu.menuOpen)
            compare(menu.menuProfile, 1)
            verify(menuEntry("profileMenuLoad").activeFocus)
            keyClick(Qt.Key_Down)
            keyClick(Qt.Key_Return)
            compare(viewCalls(), ["saveProfile 1"])
            verify(!menu.menuOpen)

            entry(2).forceActiveFocus()
            keyClick(Qt.Key_Menu)
            verify(menu.menuOpen)
            keyClick(Qt.Key_Escape)
            verify(!menu.menuOpen)
            compare(viewCalls(), ["saveProfile 1"])
        }

        function test_dimmedMenuTakesNoClicks() {
            menu.enabled = false
            mouseClick(entry(1))
            mouseClick(entry(1), 10, 10, Qt.RightButton)
            menu.choose(2)
            menu.openMenu(2)
            verify(!menu.menuOpen)
            compare(menu.currentIndex, 0)
            compare(spy.count, 0)
        }

        // Choosing a profile sends it: without a keyboard no choice is made,
        // by mouse, keyboard or screen reader.
        function test_noChoiceWithoutKeyboard() {
            mainIten.keyboardConnected = false
            verify(!entry(2).enabled)
            mouseClick(entry(2))
            entry(3).Accessible.pressAction()
            menu.choose(1)
            compare(menu.currentIndex, 0)
            compare(spy.count, 0)

            mainIten.keyboardConnected = true
            mouseClick(entry(2))
            compare(menu.currentIndex, 2)
            compare(spy.count, 1)
        }
    }
}
