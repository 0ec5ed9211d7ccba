import QtQuick 2.15
import QtTest 1.15
import "../../modules/qml/common"

Item {
    width: 300
    height: 100

    ControlsRoot { id: mainIten; visible: false }
    ControlsView { id: ui_View }

    // Two choices kept exclusive by their owner, as a page would: a click
    // chooses the clicked button itself, the owner clears the others.
    function pickSize(index) {
        normal.isSelect = index === 0
        larger.isSelect = index === 1
    }
    RadioButton {
        id: normal
        objectName: "sizeNormal"
        x: 10
        y: 10
        index: 0
        chkStr: "NORMAL"
        isSelect: true
        onClicked: pickSize(index)
    }
    RadioButton {
        id: larger
        objectName: "sizeLarger"
        x: 150
        y: 10
        index: 1
        chkStr: "LARGER"
        onClicked: pickSize(index)
    }

    SignalSpy { id: spy; target: larger; signalName: "clicked" }

    TestCase {
        name: "RadioButton"
        when: windowShown

        function init() {
            larger.enabled = true
            pickSize(0)
            spy.clear()
            ui_View.reset()
        }

        function test_click_chooses_and_reports_the_index() {
            mouseClick(larger)
            compare(spy.count, 1)
            compare(spy.signalArguments[0][0], 1)
            compare(larger.isSelect, true)
            compare(normal.isSelect, false)
            compare(ui_View.sounds, [4])
        }

        function test_chosen_button_stays_chosen() {
            mouseClick(larger)
            mouseClick(larger)
            compare(larger.isSelect, true)
            compare(spy.count, 2)
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
