import QtQuick 2.15
import QtTest 1.15
import "../../modules/qml/common"

Item {
    width: 200
    height: 100

    ControlsRoot { id: mainIten; visible: false }
    ControlsView { id: ui_View }

    Button_2state {
        id: button
        objectName: "applyButton"
        x: 10
        y: 10
        source0: mainIten.sourceApply0
        source1: mainIten.sourceApply1
        Accessible.name: "APPLY"
    }

    SignalSpy { id: spy; target: button; signalName: "clicked" }

    TestCase {
        name: "Button_2state"
        when: windowShown

        function init() {
            button.enabled = true
            spy.clear()
            ui_View.reset()
        }

        function test_click_sounds_and_emits() {
            mouseClick(button)
            compare(spy.count, 1)
            compare(ui_View.sounds, [4])
        }

        function test_picture_follows_the_pointer() {
            var face = button.children[0]
            mouseMove(button, 5, 5)
            tryCompare(face, "source", mainIten.sourceApply1)
            mouseMove(button, -30, -30)
            tryCompare(face, "source", mainIten.sourceApply0)
        }

        function test_disabled_button_is_silent() {
            button.enabled = false
            mouseClick(button)
            button.Accessible.pressAction()
            button.forceActiveFocus()
            keyClick(Qt.Key_Space)
            compare(spy.count, 0)
            compare(ui_View.sounds, [])
            compare(button.opacity, 0.8)
        }

        function test_keyboard_and_screen_reader_press_like_a_click() {
            compare(button.Accessible.role, Accessible.Button)
            compare(button.Accessible.name, "APPLY")
            button.Accessible.pressAction()
            button.forceActiveFocus()
            keyClick(Qt.Key_Space)
            keyClick(Qt.Key_Return)
            compare(spy.count, 3)
            compare(ui_View.sounds, [4, 4, 4])
        }
    }
}
