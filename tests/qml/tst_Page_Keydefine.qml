import QtQuick 2.15
import QtTest 1.15
import "../../modules/qml/Q3"

// The key assignment page on stand-ins of the root, the keyboard's main page
// and the view: the drawing built from the key table, codes read from the
// profile and shown in the menus, assigning standard keys by drag and drop,
// media keys and macros, RESET, APPLY, the profile keys and gaming mode.
Item {
    id: mainIten
    width: 1000
    height: 600

    property int globalSetting_size: 11
    property color globalSetting_color: "#ff6e6e6e"
    property color globalSetting_color_enable: "#ffffffff"
    property color globalSetting_color_disable: "#FFAAAAAA"
    property string globalSetting_fontFamily: "Exo"
    property var globalSetting_stringList: []
    property int animation_speed: 10
    property int skin_No: 1
    property int profile: 0
    property int lang: 0
    property int layout: 0
    property var enTosp: ({ "Esc": "ESC", "A": "A" })
    readonly property string skinFolder: "file:modules/img/skin1/"
    property url sourceFnKeydefineBackground: skinFolder + "list_center/fnKeydefineBackground.png"
    property url sourceKeyboardLogo: skinFolder + "common/keyboardLogo.png"
    property url sourceSlider: skinFolder + "common/slider_BASE.png"
    property url sourceBtnFrame: skinFolder + "common/btnFrame.png"
    property url sourceBtnFileListFrame: skinFolder + "common/btnFileListFrame.png"
    property url sourceFilelist: skinFolder + "common/filelist_BASE.png"
    property url sourceReset0: skinFolder + "common/reset_0.png"
    property url sourceReset1: skinFolder + "common/reset_1.png"
    property url sourceApply0: skinFolder + "common/apply_0.png"
    property url sourceApply1: skinFolder + "common/apply_1.png"
    property url sourceCHK0: skinFolder + "common/checkbox_0.png"
    property url sourceCHK1: skinFolder + "common/checkbox_1.png"
    property bool keyboardConnected: true

    property var protects: []
    function setProtectUI(ms) { protects = protects.concat([ms]) }

    // Esc, A, a media key, a key with a code above the low byte, the Fn key
    // and a profile key; the rest of the 128 positions are placeholders.
    readonly property var hwDef: [6, 128,
        10, 20, 1, "Esc", 0, 41,
        40, 20, 1, "A", 4, 4,
        70, 20, 1, "Mute", 5, 0x30E2,
        100, 20, 1, "Num", 83, 0x0153,
        130, 20, 2, "Fn", 89, 0,
        -20, 1, 0, "M1", 116, 0]

    QtObject {
        id: ui_View
        property var calls: []
        property var stored: ({})
        // Macro file name -> [index, repeat].
        property var macros: ({})
        property int mode: 0
        // What an unbound macro gets when it is sent, -1 for "all taken".
        property int freePlace: 2
        function record(call) { calls = calls.concat([call]) }
        function named(prefix) { return calls.filter(function (c) { return c.indexOf(prefix) === 0 }) }
        function playMedia_Index(n) { }
        function getKeydefine(i) { return stored[i] === undefined ? [] : stored[i] }
        function getMacroIniNames() { return Object.keys(macros).map(function (n) { return n + ".bin" }) }
        function loadMacroIniConfig(name) { return macros[name] === undefined ? [] : macros[name] }
        function setMacroIniConfig(name, config) { record("set " + name + " " + config[0] + " " + config[1]) }
        function ui_10H_SetMacroKey(index, name) {
            record("send " + index + " " + name)
            if (index < 0 && freePlace >= 0)
                macros[name] = [freePlace, macros[name][1]]
        }
        property var matrix: []
        function ui_0C0DH_SetKeyMatrix(list) { matrix = list; record("matrix " + list.length) }
        function ui_82H_GetKeyboardMode() { return mode }
        function ui_02H_SetKeyboardMode(m) { record("mode " + m) }
    }

    ControlsKeyNames { id: _KeyCodeString }

    Item {
        id: main_Q3
        signal btnTotalResetClicked
        signal btnTotalApplyClicked
        property QtObject pfPage: QtObject {
            property var chosen: []
            function choose(i) { chosen = chosen.concat([i]) }
        }
    }

    Page_Keydefine {
        id: page
    }

    Component {
        id: modelMaker
        Model_KeyDefine_Q3 { }
    }

    TestCase {
        id: testCase
        name: "Page_Keydefine"
        when: windowShown

        function child(name) { return findChild(page, name) }
        function key(matrix) { return page.keyboardModel.getKey[matrix] }
        function select(matrix) {
            var k = child("key_" + matrix)
            mouseClick(k, k.width / 2, k.height / 2)
            compare(page.keyboardModel.curKeyMatrix, matrix)
        }
        function fieldCenter() {
            var f = page.keyboardField
            return f.mapToItem(page, f.width / 2, f.height / 2)
        }

        function initTestCase() {
            page.initUI(true, mainIten.hwDef)
        }

        function init() {
            // The profile holds the keys' defaults.
            ui_View.stored = { 0: [41, 0], 4: [4, 0], 5: [0xE2, 0x30], 83: [0x53, 0x01] }
            ui_View.macros = {}
            ui_View.mode = 0
            ui_View.freePlace = 2
            mainIten.layout = 0
            mainIten.lang = 0
            mainIten.profile = 0
            mainIten.protects = []
            mainIten.keyboardConnected = true
            main_Q3.pfPage.chosen = []
            page.keyboardModel.curKeyMatrix = 0
            page.initUI()
            ui_View.calls = []
        }

        function test_drawing() {
            var keys = page.keyboardModel.getKey
            compare(keys.length, 128)
            compare(key(1).matrix, -1)
            compare(key(1).keyCode, 0)
            verify(child("key_1") === null)
            var esc = child("key_0")
            compare(esc.Accessible.role, Accessible.Button)
            compare(esc.Accessible.name, "Esc")
            compare(esc.x, 10)
            verify(esc.enabled)
            verify(!child("key_89").enabled)
            verify(!child("key_116").enabled)
            // Disabled keys are never selected.
            page.keyboardModel.selectKey(child("key_89"))
            compare(page.keyboardModel.curKeyMatrix, 0)
            // The model is built once.
            page.initUI(true, [1, 128, 0, 0, 1, "X", 0, 7])
            compare(child("key_0").name, "Esc")
        }

        function test_labels_data() {
            return [
                { tag: "English", lang: 0, layout: 0, matrix: 0, size: 9, name: "Esc" },
                { tag: "83 English", lang: 0, layout: 0, matrix: 83, size: 14, name: "Num" },
                { tag: "83 Spanish keyboard", lang: 1, layout: 1, matrix: 83, size: 14, name: "<" },
            ]
        }
        function test_labels(data) {
            mainIten.lang = data.lang
            mainIten.layout = data.layout
            compare(child("key_" + data.matrix).font_Size, data.size)
            compare(child("key_" + data.matrix).shownName, data.name)
        }

        function test_labelSizes_data() {
            return [
                { tag: "13 English", lang: 0, matrix: 13, size: 9 },
                { tag: "13 other", lang: 1, matrix: 13, size: 7 },
                { tag: "115 other", lang: 2, matrix: 115, size: 7 },
                { tag: "85 other", lang: 1, matrix: 85, size: 16 },
                { tag: "28 other", lang: 1, matrix: 28, size: 12 },
                { tag: "28 English", lang: 0, matrix: 28, size: 9 },
                { tag: "83 any", lang: 1, matrix: 83, size: 14 },
            ]
        }
        function test_labelSizes(data) {
            compare(page.keyboardModel.labelSize(data.matrix, data.lang), data.size)
        }

        function test_damagedTables_data() {
            return [
                { tag: "matrix past the keyboard", table: [2, 128, 0, 0, 1, "X", 128, 7, 0, 0, 1, "Y", 3, 8], keys: [3] },
                { tag: "duplicate matrix", table: [2, 128, 0, 0, 1, "X", 3, 7, 0, 0, 1, "Y", 3, 8], keys: [3] },
                { tag: "negative or text matrix", table: [2, 128, 0, 0, 1, "X", -1, 7, 0, 0, 1, "Y", "z", 8], keys: [] },
                { tag: "fewer positions claimed", table: [1, 100, 0, 0, 1, "X", 110, 7], keys: [110] },
                { tag: "more rows claimed than given", table: [9, 128, 0, 0, 1, "X", 2, 7], keys: [2] },
                { tag: "no table", table: undefined, keys: [] },
            ]
        }
        function test_damagedTables(data) {
            var model = createTemporaryObject(modelMaker, page)
            model.build(data.table)
            compare(model.getKey.length, 128)
            var real = model.getKey.filter(function (k) { return k.matrix >= 0 }).map(function (k) { return k.matrix })
            compare(real, data.keys)
            if (data.tag === "duplicate matrix")
                compare(model.getKey[3].keyCode_Default, 7)
        }

        function test_codesFromTheProfile() {
            ui_View.stored = { 0: [0xB5, 0x30], 4: ["5", "0"], 5: [7] }
            page.initUI()
            compare(key(0).keyCode, 0x30B5)
            compare(key(4).keyCode, 5)
            // Absent or short entries and placeholders read 0.
            compare(key(5).keyCode, 0)
            compare(key(83).keyCode, 0)
            compare(key(1).keyCode, 0)
            // The selected key (Esc) is shown at once.
            compare(page.kindList.getCurIndex(), 1)
            compare(page.mediaList.currentText, "NEXT TRACK")
            verify(!child("key_0").isDefault)
        }

        function test_keyCodeToUI_data() {
            return [
                { tag: "standard", code: 41, kind: 0, field: "Esc", media: -1, macro: -1 },
                { tag: "nothing", code: 0, kind: 0, field: "", media: -1, macro: -1 },
                { tag: "standard without a name", code: 0x68, kind: 0, field: "", media: -1, macro: -1 },
                { tag: "mute", code: 0x30E2, kind: 1, field: "", media: 4, macro: -1 },
                { tag: "media not in the list", code: 0x3001, kind: 1, field: "", media: -1, macro: -1 },
                { tag: "macro place 3", code: 0x4103, kind: 2, field: "", media: -1, macro: 1 },
                { tag: "macro place without file", code: 0x4005, kind: 2, field: "", media: -1, macro: -1 },
                { tag: "unknown kind", code: 0x2004, kind: -1, field: "", media: -1, macro: -1 },
            ]
        }
        function test_keyCodeToUI(data) {
            ui_View.macros = { "alpha": [0, 1], "beta": [3, 1], "gamma": [-1, 1] }
            page.keyCodeToUI(0x30B5)
            page.keyCodeToUI(data.code)
            compare(page.kindList.getCurIndex(), data.kind)
            compare(page.keyboardField.keyname, data.field)
            compare(page.mediaList.getCurIndex(), data.media)
            compare(page.macroList.getCurIndex(), data.macro)
            compare(page.keyboardField.visible, data.kind === 0)
            compare(page.mediaList.visible, data.kind === 1)
            compare(page.macroList.visible, data.kind === 2)
        }

        function test_spanishKeyboardName() {
            mainIten.layout = 1
            page.keyCodeToUI(41)
            compare(page.keyboardField.keyname, "ESC")
        }

        function test_dragAndDrop_data() {
            return [
                { tag: "A onto the field", from: 4, onField: true, code: 4 },
                { tag: "media key onto the field", from: 5, onField: true, code: 41 },
                { tag: "code above the low byte", from: 83, onField: true, code: 41 },
                { tag: "A dropped elsewhere", from: 4, onField: false, code: 41 },
            ]
        }
        function test_dragAndDrop(data) {
            select(0)
            var source = child("key_" + data.from)
            var to = data.onField ? fieldCenter() : Qt.point(700, 400)
            mousePress(source, 5, 5)
            mouseMove(page, to.x, to.y)
            compare(page.keyboardModel.dragingKey, source)
            compare(source.z > 0, true)
            compare(child("dragCopy").opacity, data.onField ? 0.5 : 1.0)
            mouseRelease(page, to.x, to.y)
            compare(page.keyboardModel.dragingKey, null)
            compare(key(0).keyCode, data.code)
            if (data.code === 4)
                compare(page.keyboardField.keyname, "A")
        }

        function test_protectedKeysDoNotDrag() {
            page.keyboardModel.startDrag(child("key_89"), Qt.point(0, 0))
            compare(page.keyboardModel.dragingKey, null)
        }

        function test_clearingTheField() {
            select(0)
            var f = page.keyboardField
            mouseClick(f, f.width / 2, f.height / 2)
            compare(key(0).keyCode, 0)
            verify(!child("key_0").isDefault)
        }

        function test_kindChoiceKeepsTheCode() {
            select(0)
            page.kindList.chooseEntry(1)
            compare(key(0).keyCode, 41)
            compare(page.keyboardField.keyname, "")
            compare(page.mediaList.getCurIndex(), -1)
            page.mediaList.chooseEntry(17)
            compare(key(0).keyCode, 0x322A)
            page.mediaList.chooseEntry(0)
            compare(key(0).keyCode, 0x30B5)
        }

        function test_bindingMacros_data() {
            return [
                { tag: "bound", config: [3, 1], free: 2, code: 0x4103, sent: "send 3 m" },
                { tag: "unbound takes the free place", config: [-1, 2], free: 2, code: 0x4202, sent: "send -1 m" },
                { tag: "unbound, no place free", config: [-1, 1], free: -1, code: 41, sent: "send -1 m" },
                { tag: "damaged place beyond the last", config: [17, 1], free: -1, code: 41, sent: "send 17 m" },
            ]
        }
        function test_bindingMacros(data) {
            select(0)
            ui_View.macros = { "m": data.config }
            ui_View.freePlace = data.free
            page.kindList.chooseEntry(2)
            page.macroList.showList()
            compare(page.macroList.mdItems.get(0).textX, "m")
            page.macroList.chooseEntry(0)
            compare(ui_View.named("set"), ["set m " + data.config[0] + " " + data.config[1]])
            compare(ui_View.named("send"), [data.sent])
            compare(key(0).keyCode, data.code)
            compare(page.macroList.getCurIndex(), data.code === 41 ? -1 : 0)
        }

        function test_resetAndApply() {
            select(0)
            page.mediaList.chooseEntry(4)
            select(4)
            page.keyboardField.clear()
            compare(key(4).keyCode, 0)
            mouseClick(child("keyResetButton"))
            compare(key(4).keyCode, 4)
            compare(key(0).keyCode, 0x30E2)

            mouseClick(child("keyApplyButton"))
            compare(mainIten.protects, [800])
            compare(ui_View.named("matrix"), ["matrix 256"])
            compare(ui_View.matrix[0], 0xE2)
            compare(ui_View.matrix[1], 0x30)
            compare(ui_View.matrix[8], 4)
            compare(ui_View.matrix[2 * 83 + 1], 0x01)

            main_Q3.btnTotalResetClicked()
            compare(key(0).keyCode, 41)
            main_Q3.btnTotalApplyClicked()
            compare(ui_View.named("matrix").length, 2)
            compare(ui_View.matrix[0], 41)
            compare(mainIten.protects, [800])
        }

        // Nothing reaches the view while no keyboard is connected: not APPLY
        // (clicked, pressed by a screen reader, or through ALL SAVE), not a
        // macro binding, not gaming mode. Editing the keys goes on.
        function test_nothingSentWithoutKeyboard() {
            ui_View.macros = { "m": [3, 1] }
            mainIten.keyboardConnected = false
            var apply = child("keyApplyButton")
            verify(!apply.enabled)
            verify(!page.macroList.enabled)
            verify(!child("gamingModeCheckbox").enabled)
            select(0)
            page.mediaList.chooseEntry(4)
            compare(key(0).keyCode, 0x30E2)
            mouseClick(apply)
            apply.Accessible.pressAction()
            main_Q3.btnTotalApplyClicked()
            page.chooseMacro(0)
            page.setGamingMode(true)
            compare(ui_View.calls, [])
            compare(mainIten.protects, [])

            mainIten.keyboardConnected = true
            verify(apply.enabled)
            mouseClick(apply)
            compare(ui_View.named("matrix"), ["matrix 256"])
            compare(ui_View.matrix[0], 0xE2)
        }

        function test_profileKeys() {
            mainIten.profile = 1
            verify(child("mKey2").active)
            compare(child("mKey3").Accessible.name, "M3")
            mouseClick(child("mKey3"))
            mouseClick(child("mKey2"))
            compare(main_Q3.pfPage.chosen, [2])
        }

        function test_gamingMode() {
            var box = child("gamingModeCheckbox")
            verify(!box.isSelect)
            ui_View.mode = 1
            page.initUI()
            verify(box.isSelect)
            box.toggle()
            compare(ui_View.named("mode"), ["mode 0"])
            verify(!box.isSelect)
            box.toggle()
            compare(ui_View.named("mode"), ["mode 0", "mode 1"])
        }

        function test_translatedTexts() {
            var list = []
            for (var i = 0; i < 125; ++i)
                list.push("T" + i)
            mainIten.globalSetting_stringList = list
            page.translateStrings()
            compare(child("kindList_item2").Accessible.name, "T50")
            compare(page.mediaList.mdItems.get(17).textX, "T73")
            compare(child("keyApplyButton").Accessible.name, "T107")
            compare(child("gamingModeCheckbox").Accessible.name, "T79")
            mainIten.globalSetting_stringList = []
            page.translateStrings()
            compare(page.mediaList.mdItems.get(3).textX, "PLAY / PAUSE")
        }
    }
}
