import QtQuick 2.15
import QtTest 1.15
import "../../modules/qml/common"

Item {
    width: 300
    height: 100

    ControlsRoot {
        id: mainIten
        visible: false
        enTosp: ({ "Esc": "ESC", "; :": "Ñ", "L Shift": "i MAYÚS" })
    }
    ControlsView { id: ui_View }
    ControlsKeyNames { id: _KeyCodeString }

    KeyInput {
        id: field
        objectName: "keyboardField"
        x: 10
        y: 10
    }

    SignalSpy { id: spy; target: field; signalName: "clearKey" }

    TestCase {
        name: "KeyInput"
        when: windowShown

        function init() {
            mouseMove(field, -50, -50)
            field.enabled = true
            mainIten.layout = 0
            mainIten.lang = 0
            field.setKeycodeUSB(-1)
            spy.clear()
        }

        function shown() {
            return findChild(field, "keyboardField_text").text
        }

        function test_empty_state_follows_the_language() {
            compare(shown(), "【 KEYS 】")
            mainIten.lang = 3
            compare(shown(), "【 TECLAS 】")
        }

        function test_codes_show_their_names_data() {
            return [
                { tag: "named", layout: 0, code: 4, keycode: 4, text: "A" },
                { tag: "no name", layout: 0, code: 200, keycode: -1, text: "【 KEYS 】" },
                { tag: "none", layout: 0, code: -1, keycode: -1, text: "【 KEYS 】" },
                { tag: "spanish", layout: 1, code: 51, keycode: 51, text: "Ñ" },
                { tag: "spanish without an entry", layout: 1, code: 5, keycode: -1, text: "【 KEYS 】" }
            ]
        }
        function test_codes_show_their_names(data) {
            mainIten.layout = data.layout
            field.setKeycodeUSB(41)
            field.setKeycodeUSB(data.code)
            compare(field.keycodeUSB, data.keycode)
            compare(shown(), data.text)
            compare(spy.count, 0)
        }

        function test_layout_change_renames_the_shown_key() {
            field.setKeycodeUSB(51)
            compare(shown(), "; :")
            mainIten.layout = 1
            compare(shown(), "Ñ")
            mainIten.layout = 0
            compare(shown(), "; :")
        }

        function test_pointer_offers_clearing_and_a_click_clears() {
            field.setKeycodeUSB(4)
            mouseMove(field, 20, 10)
            tryCompare(findChild(field, "keyboardField_text"), "text", "╳")
            mouseClick(field)
            compare(spy.count, 1)
            compare(field.keycodeUSB, -1)
            mouseMove(field, -50, -50)
            tryCompare(findChild(field, "keyboardField_text"), "text", "【 KEYS 】")
        }

        function test_disabled_field_keeps_its_key() {
            field.setKeycodeUSB(4)
            field.enabled = false
            mouseClick(field)
            field.Accessible.pressAction()
            compare(spy.count, 0)
            compare(field.keycodeUSB, 4)
        }

        function test_accessibility() {
            field.setKeycodeUSB(41)
            compare(field.Accessible.role, Accessible.Button)
            compare(field.Accessible.name, "Esc")
            field.Accessible.pressAction()
            compare(spy.count, 1)
            compare(field.Accessible.name, "【 KEYS 】")
        }
    }
}
