import QtQuick 2.15
import QtTest 1.15
import "../../modules/qml/Q3"

// The lighting page on stand-ins of the root, the keyboard's main page and
// the view: reading the profile and the keyboard's reports, the level rules
// of the sliders, what APPLY, ALL SAVE and RESET send (and do not send),
// painting the user pictures, and the preview following the page.
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
    property int disableTongbu: 0
    property bool keyboardConnected: true
    readonly property string skinFolder: "file:modules/img/skin1/"
    property url sourceFnColorBackground: skinFolder + "list_center/fnColorBackground.png"
    property url sourceKeyboardLogo: skinFolder + "common/keyboardLogo.png"
    property url sourceSlider: skinFolder + "common/slider_BASE.png"
    property url sourceSliderBG: skinFolder + "common/sliderBG.png"
    property url sourceSliderFiller0: skinFolder + "common/slider_FILLER_0.png"
    property url sourceSliderFiller1: skinFolder + "common/slider_FILLER_1.png"
    property url sourceSteelBG: skinFolder + "common/steelBG.png"
    property url sourcePalette: skinFolder + "common/draw_palette.png"
    property url sourcePaletteIndex: skinFolder + "common/draw_paletteIndex.png"
    property url sourceInputValue: skinFolder + "common/draw_inputValue.png"
    property url sourceReset0: skinFolder + "common/reset_0.png"
    property url sourceReset1: skinFolder + "common/reset_1.png"
    property url sourceApply0: skinFolder + "common/apply_0.png"
    property url sourceApply1: skinFolder + "common/apply_1.png"
    property url sourceCHK0: skinFolder + "common/checkbox_0.png"
    property url sourceCHK1: skinFolder + "common/checkbox_1.png"

    property var protects: []
    function setProtectUI(ms) { protects = protects.concat([ms]) }

    // Three rows of 25x25 keys; matrix 3 and up to 15 have no key.
    readonly property var hwDef: [7, 128,
        10, 10, 1, "Esc", 0, 41,
        40, 10, 1, "F1", 1, 58,
        70, 10, 1, "F2", 2, 59,
        10, 40, 1, "A", 16, 4,
        40, 40, 1, "S", 17, 22,
        70, 40, 1, "D", 18, 7,
        40, 70, 1, "Space", 32, 44]

    QtObject {
        id: ui_View
        property var calls: []
        property var colors: []
        property var pictures: ({})
        property var led: []
        property var sentColors: []
        property var sentPictures: ({})
        function record(call) { calls = calls.concat([call]) }
        function named(prefix) { return calls.filter(function (c) { return c.indexOf(prefix) === 0 }) }
        function playMedia_Index(n) { }
        function ui_B0H_GetColor() { return colors }
        function ui_92H_GetUserPicture(i) { return pictures[i] === undefined ? [] : pictures[i] }
        function ui_88H_GetLEDType() { return led }
        function ui_30H_SetColor(list) { sentColors = list; record("color " + list.length) }
        function ui_12H_SetUserPicture(index, option, list) {
            var sent = sentPictures
            sent[index] = list
            sentPictures = sent
            record("picture " + index + " " + option + " " + list.length)
        }
        function ui_08H_SetLEDType(t, b, s, d, c, side) { record("led " + [t, b, s, d, c, side].join(" ")) }
    }

    QtObject {
        id: _KeyCodeString
        readonly property var matrices: ({ 41: 0, 58: 1, 59: 2, 4: 16, 22: 17, 7: 18, 44: 32 })
        function keycodeTomatrix(code) { return matrices[code] }
    }

    Item {
        id: main_Q3
        signal msg_KB(bool isDown, int usbCode)
        signal btnTotalResetClicked
        signal btnTotalApplyClicked
    }

    Page_Color {
        id: page
    }

    TestCase {
        id: testCase
        name: "Page_Color"
        when: windowShown

        readonly property var defaults: [255, 0, 0, 0, 255, 0, 255, 255, 0, 0, 0, 255, 0, 255, 255, 255, 0, 255,
            255, 255, 255]

        function child(name) { return findChild(page, name) }
        function ctrl() { return page.effectController }
        function picture(entries) {
            var p = []
            for (var i = 0; i < 384; ++i)
                p.push(0)
            for (var m in entries) {
                p[3 * m] = entries[m][0]
                p[3 * m + 1] = entries[m][1]
                p[3 * m + 2] = entries[m][2]
            }
            return p
        }
        function setField(name, value) {
            var input = child(name + "_input")
            input.forceActiveFocus()
            input.selectAll()
            keyClick(Qt.Key_Delete)
            for (var i = 0; i < value.length; ++i)
                keyClick(value.charCodeAt(i))
            page.forceActiveFocus()
        }
        function chooseEntry(list, index) {
            var l = child(list)
            mouseClick(l, l.width / 2, l.height / 2)
            tryCompare(l, "isSelect", true)
            tryVerify(function () { return child(list + "_list").height >= l.mdItems.count * 22 })
            var item = child(list + "_item" + index)
            mouseClick(item, item.width / 2, item.height / 2)
            compare(l.getCurIndex(), index)
        }
        function clickItem(name) {
            var item = child(name)
            verify(item !== null, name)
            mouseClick(item, item.width / 2, item.height / 2)
        }
        // Drags over the keyboard drawing from (x1, y1) to (x2, y2), the
        // drawing's own coordinates.
        function drag(x1, y1, x2, y2) {
            var model = child("colorModel")
            mousePress(model, x1, y1)
            mouseMove(model, (x1 + x2) / 2, (y1 + y2) / 2)
            mouseMove(model, x2, y2)
            mouseRelease(model, x2, y2)
        }
        function sentLed() {
            var led = ui_View.named("led ")
            return led.length > 0 ? led[led.length - 1] : ""
        }

        function initTestCase() {
            page.initUI(true, mainIten.hwDef)
        }

        function init() {
            ui_View.colors = defaults.slice()
            ui_View.pictures = {}
            ui_View.led = [0x01, 63, 3, 0, 2, 0]
            mainIten.profile = 0
            mainIten.protects = []
            mainIten.disableTongbu = 0
            mainIten.keyboardConnected = true
            page.lastApplyTime = 0
            page.playEffect(false)
            page.initUI()
            ui_View.calls = []
            ui_View.sentPictures = {}
        }

        function test_drawing() {
            compare(page.keyModel.getKey.length, 128)
            var esc = child("colorKey_0")
            compare(esc.Accessible.role, Accessible.CheckBox)
            compare(esc.Accessible.name, "Esc")
            compare(esc.width, 25)
            verify(child("colorKey_3") === null)
            verify(page.keyModel.getKey[3] === null)
            // The model is built once.
            page.initUI(true, [1, 128, 0, 0, 1, "X", 0, 7])
            compare(child("colorKey_0").name, "Esc")
            verify(child("colorKey_32") !== null)
        }

        function test_readProfile_data() {
            return [
                { tag: "ripple", led: [0x05, 63, 0, 1, 3], group: 1, effect: 5, bright: 7, speed: 1, dir: 2,
                  colour: 3, fields: [0, 0, 255] },
                { tag: "user define 2", led: [0x34, 27, 7, 0, 7], group: 0, effect: 0x34, bright: 3, speed: 1,
                  dir: 1, colour: 7, fields: [255, 255, 0] },
                { tag: "breathing, slow", led: [0x01, 9, 1, 4, 6], group: 1, effect: 1, bright: 1, speed: 7,
                  dir: 1, colour: 6, fields: [255, 255, 255] },
                { tag: "0x0C has no entry", led: [0x0C, 0, 4, 0, 0], group: 1, effect: -1, bright: 0, speed: 4,
                  dir: 1, colour: 0, fields: [255, 0, 0] },
                { tag: "unknown", led: [0x20, 36, 5, 3, 1], group: -1, effect: -1, bright: 4, speed: 3, dir: 2,
                  colour: 1, fields: [0, 255, 0] },
            ]
        }
        function test_readProfile(data) {
            // The fields show the entry last chosen before the read.
            page.chooseColor(2)
            ui_View.led = data.led
            page.initUI()
            compare(page.group, data.group)
            compare(ctrl().effectIndex, data.effect)
            compare(child("brightnessSlider").currentIndex, data.bright)
            compare(ctrl().brightnessLV, data.bright)
            compare(child("speedSlider").currentIndex, data.speed)
            compare(ctrl().speedLV, (8 - data.speed) % 8)
            compare(child("directionWheel").currentIndex, data.dir)
            compare(ctrl().colorLV, data.colour)
            compare([page.paletteR, page.paletteG, page.paletteB], data.fields)
            compare(child("redField").text, String(data.fields[0]))
            if (data.group === 1)
                compare(child("effectList").getCurIndex(), data.effect)
            if (data.group === 0)
                compare(child("pictureList").getCurIndex(), data.effect - 0x33)
            // Nothing is sent by reading.
            compare(ui_View.calls.length, 0)
        }

        function test_speedFromTheKeyboard_data() {
            return [
                { tag: "0", speed: 0, initUI: 1, tongbu: 7 },
                { tag: "1", speed: 1, initUI: 7, tongbu: 7 },
                { tag: "2", speed: 2, initUI: 6, tongbu: 6 },
                { tag: "5", speed: 5, initUI: 3, tongbu: 3 },
                { tag: "7", speed: 7, initUI: 1, tongbu: 1 },
                { tag: "200", speed: 200, initUI: 1, tongbu: 1 },
            ]
        }
        function test_speedFromTheKeyboard(data) {
            ui_View.led = [0x02, 63, data.speed, 0, 0]
            page.initUI()
            compare(child("speedSlider").currentIndex, data.initUI)
            page.tongbu(0x02, 63, data.speed)
            compare(child("speedSlider").currentIndex, data.tongbu)
            compare(ctrl().speedLV, (8 - data.tongbu) % 8)
        }

        function test_brightnessLimits() {
            ui_View.led = [0x01, 63, 3, 0, 0]
            page.initUI()
            compare(child("brightnessSlider").currentIndex, 7)
            clickItem("colorApplyButton")
            compare(sentLed(), "led 1 63 3 0 0 0")
            // Above 63: initUI leaves the slider, tongbu does not.
            page.setBrightnessPos(2)
            ui_View.led = [0x01, 64, 3, 0, 0]
            page.initUI()
            compare(child("brightnessSlider").currentIndex, 2)
            mainIten.disableTongbu = 0
            page.tongbu(0x01, 200, 3)
            compare(child("brightnessSlider").currentIndex, 7)
            compare(ctrl().brightnessLV, 7)
        }

        function test_applyEffect() {
            clickItem("groupEffects")
            chooseEntry("effectList", 5)
            compare(ctrl().effectIndex, 5)
            // The pointer's stops: brightness = position, speed = 7 - position.
            var b = child("brightnessSlider")
            mouseClick(b, b.scaleValue[3] + 10, b.height / 2)
            compare(ctrl().brightnessLV, 3)
            var s = child("speedSlider")
            mouseClick(s, s.scaleValue[6] + 10, s.height / 2)
            compare(ctrl().speedLV, 1)
            clickItem("colorLoop")
            compare(ctrl().colorLV, 7)
            clickItem("colorApplyButton")
            compare(mainIten.protects, [1600])
            compare(mainIten.disableTongbu, 2)
            compare(ui_View.calls, ["color 21", "picture 0 255 384", "picture 1 255 384", "picture 2 255 384",
                                    "picture 3 255 384", "picture 4 255 384", "led 5 27 1 0 7 0"])
            compare(ui_View.sentColors, defaults)
        }

        function test_directionOnlyWhereItCounts() {
            page.tongbu(0x06, 63, 3)
            verify(child("directionWheel").enabled)
            var wheel = child("directionWheel_left")
            mouseClick(wheel, wheel.width / 2, wheel.height / 2)
            compare(ctrl().directLV, 2)
            page.apply()
            compare(sentLed(), "led 6 63 3 1 2 0")
            page.lastApplyTime = 0
            page.tongbu(0x07, 63, 3)
            verify(!child("directionWheel").enabled)
            verify(!child("colorTable").enabled)
            verify(child("speedSlider").enabled)
            page.tongbu(0x35, 63, 3)
            verify(!child("speedSlider").enabled)
            verify(child("colorTable").enabled)
            verify(child("brightnessSlider").enabled)
        }

        function test_paintAndApply() {
            ui_View.pictures = { 0: picture({ 0: [1, 2, 3] }), 3: picture({ 18: [9, 9, 9] }) }
            page.initUI()
            page.playEffect(true)
            clickItem("groupPainting")
            chooseEntry("pictureList", 1)
            compare(ctrl().effectIndex, 0x34)
            setField("redField", "10")
            setField("greenField", "20")
            setField("blueField", "30")
            // Over A and S of the second row.
            drag(12, 45, 55, 50)
            verify(child("colorKey_16").selected)
            verify(child("colorKey_17").selected)
            verify(!child("colorKey_18").selected)
            verify(!child("colorKey_0").selected)
            compare(String(page.preview.keyColor(16)), "#0a141e")
            clickItem("colorApplyButton")
            compare(ui_View.named("picture "), ["picture 0 255 384", "picture 1 0 384", "picture 2 255 384",
                                                "picture 3 255 384", "picture 4 255 384"])
            compare(ui_View.sentPictures[1], picture({ 16: [10, 20, 30], 17: [10, 20, 30] }))
            compare(ui_View.sentPictures[0], picture({ 0: [1, 2, 3] }))
            compare(ui_View.sentPictures[3], picture({ 18: [9, 9, 9] }))
            compare(sentLed(), "led 52 63 3 0 2 0")
            // A new press clears the selection.
            var model = child("colorModel")
            mousePress(model, 300, 200)
            verify(!child("colorKey_16").selected)
            mouseRelease(model, 300, 200)
            page.playEffect(false)
        }

        function test_paintingOnlyInPainting() {
            page.tongbu(0x01, 63, 3)
            var before = page.pictures[0].slice()
            verify(!child("paintArea").enabled)
            drag(12, 45, 55, 50)
            verify(!child("colorKey_16").selected)
            page.keyModel.paintKey(16)
            verify(!child("colorKey_16").selected)
            page.paintKeys([16])
            compare(page.pictures[0], before)
            // A screen reader paints one key at a time in PAINTING.
            page.tongbu(0x33, 63, 3)
            child("colorKey_17").Accessible.pressAction()
            compare(page.pictures[0][3 * 17], page.paletteR)
        }

        function test_notificationsAfterApply() {
            page.apply()
            compare(mainIten.disableTongbu, 2)
            // The echo of APPLY changes nothing, and initUI then keeps the speed.
            page.tongbu(0x09, 0, 1)
            compare(ctrl().effectIndex, 1)
            compare(mainIten.disableTongbu, 1)
            ui_View.led = [0x01, 63, 7, 0, 2]
            page.initUI()
            compare(child("speedSlider").currentIndex, 5)
            // A report long after APPLY is the user's own change.
            page.lastApplyTime = Date.now() - 5000
            page.tongbu(0x09, 0, 1)
            compare(ctrl().effectIndex, 9)
            compare(child("brightnessSlider").currentIndex, 0)
            compare(mainIten.disableTongbu, 0)
        }

        function test_notificationKeepsUnsavedEdits() {
            page.tongbu(0x33, 63, 3)
            page.chooseColor(1)
            setField("redField", "77")
            page.paintKeys([0, 1])
            var painted = page.pictures[0].slice()
            var table = page.colorTable.slice()
            compare(table[3], 77)
            page.tongbu(0x33, 27, 4)
            compare(page.pictures[0], painted)
            compare(page.colorTable, table)
            compare(ctrl().brightnessLV, 3)
            compare(child("speedSlider").currentIndex, 4)
        }

        function test_unknownEffectSentAsRead_data() {
            return [
                { tag: "0x0C", effect: 0x0C },
                { tag: "0x20", effect: 0x20 },
                { tag: "0xFE", effect: 0xFE },
            ]
        }
        function test_unknownEffectSentAsRead(data) {
            ui_View.led = [data.effect, 63, 3, 0, 9]
            page.initUI()
            compare(ctrl().effectIndex, -1)
            page.playEffect(true)
            compare(page.preview.effect, -1)
            compare(page.preview.keyColor(0).a, 1)
            page.apply()
            // The colour byte outside 0..7 goes back as read as well.
            compare(sentLed(), "led " + data.effect + " 63 3 0 9 0")
            ui_View.calls = []
            main_Q3.btnTotalApplyClicked()
            compare(sentLed(), "led " + data.effect + " 63 3 0 9 0")
        }

        function test_reset_data() {
            return [
                { tag: "profile 1", profile: 0, effect: 0x00, colours: true },
                { tag: "profile 2", profile: 1, effect: 0x09, colours: true },
                { tag: "profile 3", profile: 2, effect: 0x07, colours: false },
                { tag: "profile 4", profile: 3, effect: 0x06, colours: false },
            ]
        }
        function test_reset(data) {
            mainIten.profile = data.profile
            ui_View.colors = [1, 2, 3]
            ui_View.pictures = { 2: picture({ 5: [4, 5, 6] }) }
            ui_View.led = [0x35, 9, 1, 1, 2]
            page.initUI()
            clickItem("colorResetButton")
            compare(mainIten.protects, [800])
            compare(page.colorTable, defaults)
            for (var i = 0; i < 5; ++i)
                compare(page.pictures[i], picture({}))
            compare(page.group, 1)
            compare(ctrl().effectIndex, data.effect)
            compare(child("effectList").getCurIndex(), data.effect)
            compare(child("speedSlider").currentIndex, 5)
            compare(ctrl().speedLV, 3)
            compare(child("brightnessSlider").currentIndex, 7)
            compare(ctrl().directLV, 1)
            compare(ctrl().colorLV, 5)
            // The fields show the chosen entry, and editing one changes it.
            compare([child("redField").text, child("greenField").text, child("blueField").text], ["255", "0", "255"])
            compare(child("greenField").enabled, data.colours)
            if (data.colours) {
                setField("greenField", "128")
                compare(page.colorTable.slice(15, 18), [255, 128, 255])
                compare(page.colorTable.slice(0, 3), [255, 0, 0])
            }
            compare(ui_View.calls, [])
            page.apply()
            compare(sentLed(), "led " + data.effect + " 63 3 0 5 0")
        }

        function test_loopWritesNoEntry() {
            clickItem("colorLoop")
            var table = page.colorTable.slice()
            var strip = child("paletteStrip")
            mouseClick(strip, strip.width / 4, strip.height / 2)
            setField("blueField", "99")
            compare(page.paletteB, 99)
            compare(page.colorTable, table)
        }

        function test_paletteStrip() {
            page.chooseColor(4)
            var strip = child("paletteStrip")
            mousePress(strip, 1, strip.height / 2)
            mouseRelease(strip, 1, strip.height / 2)
            var c = [page.paletteR, page.paletteG, page.paletteB]
            compare(page.colorTable.slice(12, 15), c)
            compare(child("redField").text, String(c[0]))
        }

        function test_completeLists() {
            ui_View.colors = [10, 20, 30]
            ui_View.pictures = { 0: [300, "x", 7], 4: picture({}).concat([1, 2, 3]) }
            page.initUI()
            page.apply()
            compare(ui_View.sentColors.length, 21)
            compare(ui_View.sentColors.slice(0, 4), [10, 20, 30, 0])
            for (var i = 0; i < 5; ++i)
                compare(ui_View.sentPictures[i].length, 384)
            compare(ui_View.sentPictures[0].slice(0, 4), [255, 0, 7, 0])
        }

        function test_preview() {
            ui_View.led = [0x01, 63, 1, 0, 0]
            page.initUI()
            verify(!page.preview.running)
            page.playEffect(true)
            verify(page.preview.running)
            compare(page.preview.effect, 1)
            compare(page.preview.speed, 1)
            tryVerify(function () { return page.preview.count() > 0 })
            page.playEffect(false)
            verify(!page.preview.running)
            // Reading the keyboard while hidden starts nothing.
            page.initUI()
            page.tongbu(0x02, 63, 3)
            verify(!page.preview.running)
            // Pictures are still: no timer.
            page.tongbu(0x33, 63, 3)
            page.playEffect(true)
            verify(!page.preview.running)
            page.playEffect(false)
        }

        function test_keyPresses_data() {
            return [
                { tag: "darken", effect: 0x03, lights: true },
                { tag: "ripple", effect: 0x05, lights: true },
                { tag: "raining", effect: 0x09, lights: true },
                { tag: "breathing", effect: 0x01, lights: false },
            ]
        }
        function test_keyPresses(data) {
            page.tongbu(data.effect, 63, 3)
            page.playEffect(true)
            var before = page.preview.keyColor(17)
            main_Q3.msg_KB(false, 22)
            compare(page.preview.keyColor(17), before)
            main_Q3.msg_KB(true, 22)
            if (data.lights)
                compare(page.preview.keyOpacity(17), 255)
            // A usage with no key on the drawing does nothing.
            main_Q3.msg_KB(true, 99)
            page.playEffect(false)
            // Not while the preview is stopped.
            page.tongbu(data.effect, 63, 3)
            var unlit = page.preview.keyColor(16)
            main_Q3.msg_KB(true, 4)
            compare(page.preview.keyColor(16), unlit)
        }

        function test_disconnected() {
            mainIten.keyboardConnected = false
            verify(!child("colorApplyButton").enabled)
            page.apply()
            main_Q3.btnTotalApplyClicked()
            compare(ui_View.calls, [])
            mainIten.keyboardConnected = true
            verify(child("colorApplyButton").enabled)
        }

        function test_accessibility_data() {
            return [
                { name: "groupPainting", role: Accessible.RadioButton, text: "PAINTING" },
                { name: "groupEffects", role: Accessible.RadioButton, text: "EFFECTS" },
                { name: "effectList", role: Accessible.ComboBox, text: "BREATHING" },
                { name: "brightnessSlider", role: Accessible.Slider, text: "BRIGHTNESS 7" },
                { name: "speedSlider", role: Accessible.Slider, text: "SPEED 5" },
                { name: "directionWheel", role: Accessible.Grouping, text: "DIRECTION ►" },
                { name: "colorTable", role: Accessible.List, text: "Colour table" },
                { name: "colorEntry2", role: Accessible.RadioButton, text: "Colour 3" },
                { name: "colorLoop", role: Accessible.RadioButton, text: "LOOP" },
                { name: "paletteStrip", role: Accessible.Slider, text: "Palette" },
                { name: "redField", role: Accessible.Grouping, text: "R" },
                { name: "redField_input", role: Accessible.EditableText, text: "R" },
                { name: "colorApplyButton", role: Accessible.Button, text: "APPLY" },
                { name: "colorResetButton", role: Accessible.Button, text: "RESET" },
            ]
        }
        function test_accessibility(data) {
            var item = child(data.name)
            verify(item !== null, data.name)
            compare(item.Accessible.role, data.role)
            compare(item.Accessible.name, data.text)
        }

        function test_translateStrings() {
            var list = []
            for (var i = 0; i < 25; ++i)
                list.push("T" + i)
            mainIten.globalSetting_stringList = list
            page.translateStrings()
            compare(child("effectList").currentText, "T14")
            compare(child("groupPainting").chkStr, "T6")
            mainIten.globalSetting_stringList = []
            page.translateStrings()
            compare(child("effectList").currentText, "BREATHING")
        }
    }
}
