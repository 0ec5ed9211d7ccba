import QtQuick 2.15
import QtTest 1.15
import "../../modules/qml/common"

Item {
    width: 300
    height: 100

    ControlsRoot { id: mainIten; visible: false }
    ControlsView { id: ui_View }

    ButtonGroup_4 {
        id: group
        objectName: "rateGroup"
        x: 10
        y: 10
        valueForIndex: [125, 250, 500, 1000]
    }

    SignalSpy { id: spy; target: group; signalName: "clicked" }

    TestCase {
        name: "ButtonGroup_4"
        when: windowShown

        function init() {
            group.enabled = true
            group.allowDeselect = true
            group.currentIndex = -1
            spy.clear()
        }

        function button(i) {
            return findChild(group, "rateGroup_button" + i)
        }

        function test_buttons_sit_on_the_picture_cells() {
            compare(group.width, 164)
            for (var i = 0; i < 4; ++i)
                compare(button(i).x, 2 + 40 * i)
            compare(button(3).Accessible.name, "1000")
        }

        function test_click_chooses_and_toggles_off() {
            mouseClick(button(2))
            compare(group.currentIndex, 2)
            compare(spy.signalArguments[0][0], 2)
            mouseClick(button(0))
            compare(group.currentIndex, 0)
            mouseClick(button(0))
            compare(group.currentIndex, -1)
            compare(spy.count, 3)
            compare(spy.signalArguments[2][0], 0)
        }

        function test_without_deselect_the_choice_stays() {
            group.allowDeselect = false
            mouseClick(button(1))
            mouseClick(button(1))
            compare(group.currentIndex, 1)
            compare(spy.count, 2)
        }

        function test_disabled_group_ignores_clicks() {
            group.enabled = false
            mouseClick(button(1))
            button(1).Accessible.pressAction()
            compare(group.currentIndex, -1)
            compare(spy.count, 0)
        }

        function test_keys_and_accessibility() {
            group.currentIndex = 1
            group.forceActiveFocus()
            keyClick(Qt.Key_Right)
            compare(group.currentIndex, 2)
            keyClick(Qt.Key_Left)
            keyClick(Qt.Key_Left)
            keyClick(Qt.Key_Left)
            compare(group.currentIndex, 0)
            compare(button(0).Accessible.role, Accessible.Button)
            compare(button(0).Accessible.checked, true)
            button(3).Accessible.pressAction()
            compare(group.currentIndex, 3)
        }
    }
}
