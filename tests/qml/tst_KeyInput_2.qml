import QtQuick 2.15
import QtTest 1.15
import "../../modules/qml/common"

Item {
    width: 300
    height: 100

    ControlsRoot {
        id: mainIten
        visible: false
        enTosp: ({ "Esc": "ESC", "; :": "Ñ" })
    }
    ControlsView { id: ui_View }
    ControlsKeyNames { id: _KeyCodeString }

    KeyInput_2 {
        id: capture
        objectName: "keyCapture"
        x: 10
        y: 10
    }

    SignalSpy { id: spy; target: capture; signalName: "inputComplete" }

    TestCase {
        name: "KeyInput_2"
        when: windowShown

        function init() {
            capture.enabled = true
            capture.isSelect = false
            capture.setKeycodeUSB(-1)
            mainIten.layout = 0
            mainIten.globalSetting_stringList = ["Exo"]
            spy.clear()
        }

        function test_click_toggles_listening_and_clears_the_key() {
            capture.setKeycodeUSB(4)
            mouseClick(capture)
            compare(capture.isSelect, true)
            compare(capture.tmpKeycodeUSB, -1)
            compare(capture.tmpKeyString, "")
            mouseClick(capture)
            compare(capture.isSelect, false)
            compare(spy.count, 0)
        }

        function test_next_key_event_is_taken_once() {
            capture.detectKeyboard(true, 5)
            compare(capture.tmpKeycodeUSB, -1)
            mouseClick(capture)
            // A release counts as much as a press.
            capture.detectKeyboard(false, 4)
            compare(capture.isSelect, false)
            compare(capture.tmpKeycodeUSB, 4)
            compare(capture.tmpKeyString, "A")
            compare(spy.count, 1)
            compare(spy.signalArguments[0][0], 4)
            capture.detectKeyboard(true, 5)
            compare(capture.tmpKeycodeUSB, 4)
            compare(spy.count, 1)
        }

        function test_code_without_a_name_ends_with_no_key() {
            capture.setKeycodeUSB(4)
            mouseClick(capture)
            capture.detectKeyboard(true, 250)
            compare(capture.isSelect, false)
            compare(capture.tmpKeycodeUSB, -1)
            compare(capture.tmpKeyString, "")
            compare(spy.signalArguments[0][0], -1)
        }

        function test_spanish_names_data() {
            return [
                { tag: "translated", code: 51, name: "Ñ" },
                { tag: "no entry, shown as stored", code: 4, name: "A" }
            ]
        }
        function test_spanish_names(data) {
            mainIten.layout = 1
            mouseClick(capture)
            capture.detectKeyboard(true, data.code)
            compare(capture.tmpKeyString, data.name)
            compare(capture.tmpKeycodeUSB, data.code)
        }

        function test_text_reads_label_key_or_placeholder() {
            var list = []
            for (var i = 0; i < 103; ++i)
                list.push("")
            list[101] = "KEY:"
            list[102] = "PRESS A KEY"
            mainIten.globalSetting_stringList = list
            compare(capture.text, "KEY:【 PRESS A KEY 】")
            capture.setKeycodeUSB(41)
            compare(capture.text, "KEY:【 Esc 】")
            // A short text list leaves the parts empty rather than "undefined".
            mainIten.globalSetting_stringList = ["Exo"]
            compare(capture.text, "【 Esc 】")
        }

        function test_disabled_field_does_not_listen() {
            mouseClick(capture)
            capture.enabled = false
            compare(capture.isSelect, false)
            capture.detectKeyboard(true, 4)
            mouseClick(capture)
            capture.Accessible.pressAction()
            compare(capture.isSelect, false)
            compare(spy.count, 0)
        }

        function test_accessibility() {
            compare(capture.Accessible.role, Accessible.Button)
            compare(capture.Accessible.name, capture.text)
            capture.Accessible.pressAction()
            compare(capture.Accessible.checked, true)
        }
    }
}
