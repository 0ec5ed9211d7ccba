import QtQuick 2.15
import QtTest 1.15
import "../../modules/qml/common"

Item {
    width: 300
    height: 100

    ControlsRoot { id: mainIten; visible: false }
    ControlsView { id: ui_View }

    // Two choices bound to their owner's state, as the settings page does.
    property int chosen: 0
    RadioButton {
        id: normal
        objectName: "sizeNormal"
        x: 10
        y: 10
        index: 0
        chkStr: "NORMAL"
        isSelect: chosen === index
        onClicked: chosen = index
    }
    RadioButton {
        id: larger
        objectName: "sizeLarger"
        x: 150
        y: 10
        index: 1
        chkStr: "LARGER"
        isSelect: chosen === index
        onClicked: chosen = index
    }
    // One whose owner only listens.
    RadioButton {
        id: lone
        objectName: "lone"
        x: 10
        y: 50
        index: 7
        chkStr: "LONE"
    }

    SignalSpy { id: spy; target: larger; signalName: "clicked" }

    TestCase {
        name: "RadioButton"
        when: windowShown

        function init() {
            larger.enabled = true
            chosen = 0
            lone.isSelect = false
            spy.clear()
            ui_View.reset()
        }

        function test_click_chooses_and_reports_the_index() {
            mouseClick(larger)
            compare(spy.count, 1)
            compare(spy.signalArguments[0][0], 1)
            compare(chosen, 1)
            compare(larger.isSelect, true)
            compare(normal.isSelect, false)
            compare(ui_View.sounds, [4])
        }

        function test_bound_choices_keep_following_their_owner() {
            mouseClick(larger)
            mouseClick(normal)
            mouseClick(larger)
            mouseClick(normal)
            compare(normal.isSelect, true)
            compare(larger.isSelect, false)
            // The owner changes its state by itself (a reset, a configuration).
            chosen = 1
            compare(normal.isSelect, false)
            compare(larger.isSelect, true)
        }

        function test_chosen_button_stays_chosen() {
            mouseClick(larger)
            mouseClick(larger)
            compare(larger.isSelect, true)
            compare(spy.count, 2)
            mouseClick(lone)
            mouseClick(lone)
            compare(lone.isSelect, true)
        }

        function test_disabled_button_is_not_chosen() {
            larger.enabled = false
            mouseClick(larger)
            larger.Accessible.pressAction()
            compare(larger.isSelect, false)
            compare(spy.count, 0)
            compare(ui_View.sounds, [])
        }

        function test_accessibility() {
            compare(larger.Accessible.role, Accessible.RadioButton)
            compare(larger.Accessible.name, "LARGER")
            larger.Accessible.pressAction()
            compare(larger.Accessible.checked, true)
        }
    }
}
