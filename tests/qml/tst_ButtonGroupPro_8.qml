import QtQuick 2.15
import QtTest 1.15
import "../../modules/qml/common"

Item {
    width: 500
    height: 300

    ControlsRoot { id: mainIten; visible: false }
    ControlsView { id: ui_View }

    ButtonGroupPro_8 {
        id: group
        objectName: "dpiGroup"
        x: 10
        y: 10
        menuTexts: ["200", "400", "600", "800", "1000", "1200", "1400", "1600", "1800",
                    "2000", "2200", "2400", "2600", "2800", "3000", "3200", "3400", "3600"]
    }

    SignalSpy { id: clickSpy; target: group; signalName: "clicked" }
    SignalSpy { id: valueSpy; target: group; signalName: "valueChanged" }

    TestCase {
        name: "ButtonGroupPro_8"
        when: windowShown

        function init() {
            group.enabled = true
            group.closeMenu()
            group.currentIndex = -1
            group.valueForIndex = [0, 1, 2, 3, 4, 5, 6, 7]
            clickSpy.clear()
            valueSpy.clear()
        }

        function button(i) {
            return findChild(group, "dpiGroup_button" + i)
        }

        function menu() {
            return findChild(group, "dpiGroup_menu")
        }

        function test_buttons_show_their_values_as_menu_texts() {
            compare(group.width, 324)
            compare(button(0).label, "200")
            compare(button(7).label, "1600")
            group.valueForIndex = [17, 1, 2, 3, 4, 5, 6, 99]
            compare(button(0).label, "3600")
            compare(button(7).label, "")
        }

        function test_left_click_toggles_like_the_four_button_group() {
            mouseClick(button(5))
            compare(group.currentIndex, 5)
            mouseClick(button(5))
            compare(group.currentIndex, -1)
            compare(clickSpy.count, 2)
            verify(!menu().isShow)
        }

        function test_menu_choice_sets_the_value_of_its_button() {
            mouseClick(button(6), 10, 10, Qt.RightButton)
            compare(group.menuIndex, 6)
            tryCompare(menu(), "opacity", 1.0)
            compare(menu().currentValue, 6)
            // The menu stays inside the group's width.
            verify(menu().x + menu().width <= group.width)
            mouseClick(findChild(menu(), "dpiGroup_menu_item14"))
            compare(valueSpy.count, 1)
            compare(valueSpy.signalArguments[0][0], 6)
            compare(valueSpy.signalArguments[0][1], 14)
            compare(group.valueForIndex[6], 14)
            compare(group.valueForIndex[5], 5)
            compare(button(6).label, "3000")
            compare(group.menuIndex, -1)
            tryCompare(menu(), "visible", false)
            // A right click chooses no button.
            compare(clickSpy.count, 0)
        }

        function test_closing_the_menu_changes_nothing() {
            group.showMenu(2)
            group.closeMenu()
            tryCompare(menu(), "visible", false)
            findChild(menu(), "dpiGroup_menu_item3").Accessible.pressAction()
            compare(valueSpy.count, 0)
            compare(group.valueForIndex[2], 2)
        }

        function test_disabled_group_opens_no_menu() {
            group.enabled = false
            mouseClick(button(1), 10, 10, Qt.RightButton)
            group.showMenu(1)
            compare(group.menuIndex, -1)
            group.setValue(1, 9)
            compare(valueSpy.count, 0)
            // Disabling shuts an open menu.
            group.enabled = true
            group.showMenu(1)
            group.enabled = false
            compare(group.menuIndex, -1)
        }

        function test_values_outside_the_menu_are_refused() {
            group.setValue(0, 18)
            group.setValue(0, -1)
            group.setValue(8, 3)
            compare(valueSpy.count, 0)
            compare(group.valueForIndex, [0, 1, 2, 3, 4, 5, 6, 7])
        }

        function test_keys_step_and_open() {
            group.currentIndex = 3
            group.forceActiveFocus()
            keyClick(Qt.Key_Up)
            compare(group.valueForIndex[3], 4)
            keyClick(Qt.Key_Down)
            keyClick(Qt.Key_Down)
            compare(group.valueForIndex[3], 2)
            compare(valueSpy.count, 3)
            keyClick(Qt.Key_Space)
            compare(group.menuIndex, 3)
            var item = findChild(menu(), "dpiGroup_menu_item0")
            compare(item.Accessible.role, Accessible.MenuItem)
            compare(item.Accessible.name, "200")
            item.Accessible.pressAction()
            compare(group.valueForIndex[3], 0)
        }
    }
}
