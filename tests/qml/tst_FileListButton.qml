import QtQuick 2.15
import QtTest 1.15
import "../../modules/qml/common"

Item {
    id: scene
    width: 300
    height: 300

    ControlsRoot { id: mainIten; visible: false }
    ControlsView { id: ui_View }

    // What the owner's folder holds; the list is refilled from it on request.
    property var folder: ["jump", "reload", "sprint"]
    property var events: []

    FileListButton {
        id: macros
        objectName: "macroList"
        x: 10
        y: 10
        onRequestToUpdateList: {
            events = events.concat(["update"])
            mdItems.clear()
            for (var i = 0; i < folder.length; ++i)
                mdItems.append({ textX: folder[i] })
        }
        onListOpened: events = events.concat(["opened"])
    }

    SignalSpy { id: clickedSpy; target: macros; signalName: "listElementClicked" }
    SignalSpy { id: closedSpy; target: macros; signalName: "listClosed" }

    TestCase {
        name: "FileListButton"
        when: windowShown

        function init() {
            macros.enabled = true
            macros.closeList()
            folder = ["jump", "reload", "sprint"]
            macros.mdItems.clear()
            macros.setCurIndex(-1)
            events = []
            clickedSpy.clear()
            closedSpy.clear()
        }

        function openList() {
            mouseClick(findChild(macros, "macroList_field"))
            tryCompare(findChild(macros, "macroList_popup"), "height", 198)
        }

        function test_opening_asks_for_fresh_names_first() {
            openList()
            compare(events, ["update", "opened"])
            compare(macros.mdItems.count, 3)
            compare(macros.isSelect, true)
        }

        function test_click_on_a_name_chooses_it() {
            openList()
            mouseClick(findChild(macros, "macroList_item1"))
            compare(clickedSpy.signalArguments[0][0], 1)
            compare(macros.getCurIndex(), 1)
            compare(macros.currentText, "reload")
            compare(macros.isSelect, false)
            compare(closedSpy.count, 1)
            // Choosing the chosen name again keeps it.
            openList()
            mouseClick(findChild(macros, "macroList_item1"))
            compare(macros.getCurIndex(), 1)
            compare(clickedSpy.count, 2)
        }

        function test_choice_follows_its_name_through_a_refill() {
            openList()
            mouseClick(findChild(macros, "macroList_item2"))
            folder = ["alpha", "jump", "reload", "sprint"]
            openList()
            compare(macros.getCurIndex(), 3)
            compare(macros.currentText, "sprint")
            compare(macros.isSelect, true)
            macros.closeList()
            folder = ["jump"]
            openList()
            compare(macros.getCurIndex(), -1)
            compare(macros.currentText, "")
        }

        function test_setCurIndex_is_silent_and_checked() {
            openList()
            macros.closeList()
            macros.setCurIndex(2)
            compare(macros.currentText, "sprint")
            macros.setCurIndex(7)
            compare(macros.getCurIndex(), -1)
            compare(macros.currentText, "")
            compare(clickedSpy.count, 0)
        }

        function test_disabled_button_stays_shut() {
            macros.enabled = false
            mouseClick(findChild(macros, "macroList_field"))
            macros.showList()
            compare(macros.isSelect, false)
            compare(events, [])
        }

        function test_accessibility() {
            compare(macros.Accessible.role, Accessible.ComboBox)
            macros.Accessible.pressAction()
            compare(macros.isSelect, true)
            var entry = findChild(macros, "macroList_item0")
            compare(entry.Accessible.role, Accessible.ListItem)
            entry.Accessible.pressAction()
            compare(macros.Accessible.name, "jump")
        }
    }
}
