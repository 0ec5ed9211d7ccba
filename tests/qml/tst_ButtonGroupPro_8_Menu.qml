import QtQuick 2.15
import QtTest 1.15
import "../../modules/qml/common"

Item {
    width: 300
    height: 300

    ControlsRoot { id: mainIten; visible: false }
    ControlsView { id: ui_View }

    ButtonGroupPro_8_Menu {
        id: menu
        objectName: "valueMenu"
        x: 10
        y: 10
    }

    SignalSpy { id: spy; target: menu; signalName: "clicked" }

    TestCase {
        name: "ButtonGroupPro_8_Menu"
        when: windowShown

        function init() {
            menu.closeMenu()
            tryCompare(menu, "visible", false)
            spy.clear()
        }

        function test_eighteen_entries_in_a_grid() {
            menu.showMenu()
            tryCompare(menu, "opacity", 1.0)
            for (var i = 0; i < 18; ++i)
                verify(findChild(menu, "valueMenu_item" + i) !== null, "entry " + i)
            verify(findChild(menu, "valueMenu_item18") === null)
            var last = findChild(menu, "valueMenu_item17")
            verify(last.x + last.width <= menu.width)
            verify(last.y + last.height <= menu.height)
        }

        function test_choice_reports_and_closes() {
            menu.showMenu()
            tryCompare(menu, "opacity", 1.0)
            mouseClick(findChild(menu, "valueMenu_item10"))
            compare(spy.count, 1)
            compare(spy.signalArguments[0][0], 10)
            compare(menu.isShow, false)
            tryCompare(menu, "visible", false)
        }

        function test_shut_menu_takes_no_choice() {
            findChild(menu, "valueMenu_item4").Accessible.pressAction()
            menu.chooseValue(4)
            compare(spy.count, 0)
        }
    }
}
