import QtQuick 2.15
import QtTest 1.15
import "../../modules/qml/common"

Item {
    width: 200
    height: 100

    ControlsRoot { id: mainIten; visible: false }
    ControlsView { id: ui_View }

    Checkbox {
        id: box
        objectName: "largerCheck"
        x: 10
        y: 10
        chkStr: "LARGER"
    }

    // A box bound to its owner's state.
    property bool soundOn: false
    Checkbox {
        id: bound
        objectName: "soundCheck"
        x: 10
        y: 50
        chkStr: "SOUND"
        isSelect: soundOn
        onClicked: soundOn = select
    }

    SignalSpy { id: spy; target: box; signalName: "clicked" }

    TestCase {
        name: "Checkbox"
        when: windowShown

        function init() {
            box.enabled = true
            box.isSelect = false
            spy.clear()
            ui_View.reset()
        }

        function test_click_flips_and_reports_the_new_state() {
            mouseClick(box)
            compare(box.isSelect, true)
            compare(spy.signalArguments[0][0], true)
            // The label is part of the box.
            mouseClick(box, box.width - 2, box.height / 2)
            compare(box.isSelect, false)
            compare(spy.signalArguments[1][0], false)
            compare(ui_View.sounds, [4, 4])
        }

        function test_bound_box_keeps_following_its_owner() {
            soundOn = false
            mouseClick(bound)
            compare(soundOn, true)
            mouseClick(bound)
            compare(soundOn, false)
            soundOn = true
            compare(bound.isSelect, true)
        }

        function test_picture_shows_the_state() {
            var mark = box.children[0]
            compare(mark.source, mainIten.sourceCHK0)
            box.isSelect = true
            compare(mark.source, mainIten.sourceCHK1)
        }

        function test_disabled_box_keeps_its_state() {
            box.enabled = false
            mouseClick(box)
            box.Accessible.toggleAction()
            compare(box.isSelect, false)
            compare(spy.count, 0)
            compare(ui_View.sounds, [])
        }

        function test_accessibility() {
            compare(box.Accessible.role, Accessible.CheckBox)
            compare(box.Accessible.name, "LARGER")
            box.Accessible.toggleAction()
            compare(box.Accessible.checked, true)
            box.forceActiveFocus()
            keyClick(Qt.Key_Space)
            compare(box.isSelect, false)
            compare(spy.count, 2)
        }
    }
}
