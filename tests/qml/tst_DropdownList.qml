import QtQuick 2.15
import QtTest 1.15
import "../../modules/qml/common"

Item {
    id: scene
    width: 400
    height: 400

    ControlsRoot { id: mainIten; visible: false }
    ControlsView { id: ui_View }

    ListModel {
        id: skins
        ListElement { textX: "SKIN 1" }
        ListElement { textX: "SKIN 2" }
        ListElement { textX: "SKIN 3" }
    }

    DropdownList {
        id: list
        objectName: "skinList"
        x: 20
        y: 20
        mdItems: skins
    }

    // An item after the list in the scene: the unrolled list must lie over it.
    Rectangle {
        x: 20
        y: 44
        width: 140
        height: 60
        color: "gray"
        MouseArea { anchors.fill: parent }
    }

    SignalSpy { id: clickedSpy; target: list; signalName: "listElementClicked" }
    SignalSpy { id: openedSpy; target: list; signalName: "listOpened" }
    SignalSpy { id: closedSpy; target: list; signalName: "listClosed" }

    TestCase {
        name: "DropdownList"
        when: windowShown

        function init() {
            list.enabled = true
            list.closeList()
            list.setCurIndex(0)
            skins.clear()
            skins.append({ textX: "SKIN 1" })
            skins.append({ textX: "SKIN 2" })
            skins.append({ textX: "SKIN 3" })
            list.setCurIndex(0)
            clickedSpy.clear()
            openedSpy.clear()
            closedSpy.clear()
            ui_View.reset()
        }

        function field() {
            return findChild(list, "skinList_field")
        }

        function openList() {
            mouseClick(field())
            var popup = findChild(list, "skinList_list")
            tryCompare(popup, "height", 3 * list.itemHeight + 2)
        }

        function test_open_choose_and_close() {
            openList()
            compare(list.isSelect, true)
            compare(openedSpy.count, 1)
            var entry = findChild(list, "skinList_item2")
            verify(entry !== null)
            mouseClick(entry)
            compare(clickedSpy.count, 1)
            compare(clickedSpy.signalArguments[0][0], 2)
            compare(list.getCurIndex(), 2)
            compare(list.defaultIndex, 2)
            compare(list.currentText, "SKIN 3")
            compare(list.isSelect, false)
            compare(closedSpy.count, 1)
            tryCompare(findChild(list, "skinList_list"), "visible", false)
        }

        function test_field_toggles_without_choosing() {
            openList()
            mouseClick(field())
            compare(list.isSelect, false)
            compare(openedSpy.count, 1)
            compare(closedSpy.count, 1)
            compare(clickedSpy.count, 0)
            compare(list.getCurIndex(), 0)
            // Closing what is closed, or opening what is open, tells nobody.
            list.closeList()
            compare(closedSpy.count, 1)
            list.showList()
            list.showList()
            compare(openedSpy.count, 2)
        }

        function test_unrolled_list_takes_clicks_over_later_siblings() {
            openList()
            // The second entry lies over the gray rectangle that follows the list.
            mouseClick(scene, 40, 20 + 22 + 22 + 11)
            compare(clickedSpy.count, 1)
            compare(clickedSpy.signalArguments[0][0], 1)
        }

        function test_setCurIndex_is_silent_and_checked() {
            list.setCurIndex(1)
            compare(list.currentText, "SKIN 2")
            compare(clickedSpy.count, 0)
            list.setCurIndex(3)
            compare(list.getCurIndex(), -1)
            compare(list.currentText, "")
            list.setCurIndex(-5)
            compare(list.getCurIndex(), -1)
            list.defaultIndex = 2
            compare(list.currentText, "SKIN 3")
        }

        function test_shown_text_follows_the_model() {
            list.setCurIndex(2)
            skins.setProperty(2, "textX", "PIEL 3")
            compare(list.currentText, "PIEL 3")
            // The chosen entry goes away: nothing is chosen any more.
            skins.remove(2)
            compare(list.getCurIndex(), -1)
            compare(list.currentText, "")
        }

        function test_disabled_list_stays_shut() {
            list.enabled = false
            mouseClick(field())
            compare(list.isSelect, false)
            list.showList()
            compare(list.isSelect, false)
            list.chooseEntry(1)
            compare(clickedSpy.count, 0)
            list.enabled = true
            openList()
            list.enabled = false
            compare(list.isSelect, false)
            compare(closedSpy.count, 1)
        }

        function test_long_list_scrolls_inside_its_height() {
            for (var i = 4; i <= 12; ++i)
                skins.append({ textX: "SKIN " + i })
            mouseClick(field())
            var popup = findChild(list, "skinList_list")
            tryCompare(popup, "height", list.maxVisibleItems * list.itemHeight + 2)
            list.step(1)
            compare(list.getCurIndex(), 1)
        }

        function test_keyboard_and_accessibility() {
            list.forceActiveFocus()
            keyClick(Qt.Key_Down)
            compare(clickedSpy.count, 1)
            compare(list.getCurIndex(), 1)
            keyClick(Qt.Key_Up)
            keyClick(Qt.Key_Up)
            compare(list.getCurIndex(), 0)
            compare(clickedSpy.count, 2)
            keyClick(Qt.Key_Space)
            compare(list.isSelect, true)
            keyClick(Qt.Key_Escape)
            compare(list.isSelect, false)

            compare(list.Accessible.role, Accessible.ComboBox)
            compare(list.Accessible.name, "SKIN 1")
            openList()
            var entry = findChild(list, "skinList_item1")
            compare(entry.Accessible.role, Accessible.ListItem)
            compare(entry.Accessible.name, "SKIN 2")
        }
    }
}
