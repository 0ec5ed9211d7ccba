import QtQuick 2.15
import QtTest 1.15
import "../../modules/qml/common"

Item {
    width: 200
    height: 100

    ControlsRoot { id: mainIten; visible: false }
    ControlsView { id: ui_View }

    SteeringWheel {
        id: wheel
        objectName: "directionWheel"
        x: 10
        y: 10
    }

    SignalSpy { id: spy; target: wheel; signalName: "wheelClicked" }

    TestCase {
        name: "SteeringWheel"
        when: windowShown

        function init() {
            wheel.enabled = true
            wheel.currentIndex = 1
            spy.clear()
        }

        function test_right_is_one_and_left_is_two() {
            compare(wheel.currentIndex, 1)
            mouseClick(wheel, 10, 15)
            compare(wheel.currentIndex, 2)
            compare(spy.signalArguments[0][0], 2)
            mouseClick(wheel, 80, 15)
            compare(wheel.currentIndex, 1)
            compare(spy.signalArguments[1][0], 1)
        }

        function test_chosen_arrow_is_lit() {
            var left = findChild(wheel, "directionWheel_left")
            var right = findChild(wheel, "directionWheel_right")
            var leftArrow = left.children[0]
            var rightArrow = right.children[0]
            verify(!Qt.colorEqual(rightArrow.fill, leftArrow.fill))
            verify(Qt.colorEqual(leftArrow.fill, wheel.textColor))
            mouseClick(left)
            verify(!Qt.colorEqual(leftArrow.fill, wheel.textColor))
            verify(!Qt.colorEqual(leftArrow.fill, wheel.textColor1))
        }

        function test_disabled_wheel_keeps_its_direction() {
            wheel.enabled = false
            mouseClick(wheel, 10, 15)
            findChild(wheel, "directionWheel_left").Accessible.pressAction()
            compare(wheel.currentIndex, 1)
            compare(spy.count, 0)
        }

        function test_keys_and_accessibility() {
            wheel.forceActiveFocus()
            keyClick(Qt.Key_Left)
            compare(wheel.currentIndex, 2)
            keyClick(Qt.Key_Right)
            compare(wheel.currentIndex, 1)
            var right = findChild(wheel, "directionWheel_right")
            compare(right.Accessible.role, Accessible.RadioButton)
            compare(right.Accessible.name, "Right")
            compare(right.Accessible.checked, true)
            findChild(wheel, "directionWheel_left").Accessible.pressAction()
            compare(wheel.currentIndex, 2)
            compare(spy.count, 3)
        }
    }
}
