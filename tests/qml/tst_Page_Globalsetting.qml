import QtQuick 2.15
import QtTest 1.15
import "../../modules/qml/basic"

// The global settings page on stand-ins of the root document and the native
// view: reading the configuration (damaged and text-typed entries too),
// choices taking effect, colour editing, and what APPLY and RESET store.
Item {
    id: scene
    width: 400
    height: 480

    property var page: null

    // The root document: binds its shared look to the page, as main.qml does,
    // and records the calls the page makes back to it.
    Item {
        id: mainIten
        visible: false
        property int globalSetting_size: scene.page ? scene.page._Size : 11
        property color globalSetting_color: scene.page ? scene.page._Color : "#6e6e6e"
        property color globalSetting_color_enable: globalSetting_color
        property color globalSetting_color_disable: "#FFAAAAAA"
        property string globalSetting_fontFamily: scene.page ? scene.page._FontFamily : "Exo"
        property var globalSetting_stringList: scene.page ? scene.page._StringList : []
        property int animation_speed: 10
        property int skin_No: 1
        property int lang: 0
        property int layout: 0
        property var rootCalls: []

        function setSkin() { rootCalls = rootCalls.concat(["setSkin"]) }
        function translateStrings(code) { rootCalls = rootCalls.concat(["translateStrings(" + code + ")"]) }

        readonly property string common: "file:modules/img/skin1/common/"
        property url sourceGlobalsettingBackground: "file:modules/img/skin1/list_center/globalsettingBackground.png"
        property url sourceSlider: common + "slider_BASE.png"
        property url sourceSliderBG: common + "sliderBG.png"
        property url sourceSliderBG8: common + "sliderBG_8.png"
        property url sourceSliderFiller0: common + "slider_FILLER_0.png"
        property url sourceSliderFiller1: common + "slider_FILLER_1.png"
        property url sourceCHK0: common + "checkbox_0.png"
        property url sourceCHK1: common + "checkbox_1.png"
        property url sourcePalette: common + "draw_palette.png"
        property url sourcePaletteIndex: common + "draw_paletteIndex.png"
        property url sourceInputValue: common + "draw_inputValue.png"
        property url sourceReset0: common + "reset_0.png"
        property url sourceReset1: common + "reset_1.png"
        property url sourceApply0: common + "apply_0.png"
        property url sourceApply1: common + "apply_1.png"
    }

    // The native view: a configuration and its factory copy, two languages,
    // and a log of every call in order.
    QtObject {
        id: ui_View
        property var calls: []
        property var config: []
        property var factory: []
        property var saved: null
        property bool skinShow: true
        // A short Spanish list: entries it lacks must fall back to English.
        property var spanish: ["Noto Sans", "OPCIONES", "BUCLE", "VELOCIDAD", "BRILLO", "DIRECCIÓN", "PINTURA",
            "EFECTOS", "U1", "U2", "U3", "U4", "U5", "ESTÁTICO", "RESPIRACIÓN", "ONDA", "I1", "MARQUESINA",
            "ONDULACIÓN", "I2", "NEÓN", "M1", "LLUVIA", "M2", "FOCO", "ROTACIÓN", "PIEL", "SONIDO", "ANIMADO",
            "IDIOMA", "FONDO", "SÍ", "NO", "TEXTO", "TAMAÑO", "COLOR", "BRILLO", "NORMAL", "MAYOR", "PIEL 1",
            "PIEL 2"]

        function log(text) { calls = calls.concat([text]) }
        function loadApConfig() { log("loadApConfig"); return config }
        function saveApConfig(list) { log("saveApConfig"); saved = list }
        function resetApconfig() { log("resetApconfig"); config = factory }
        function setEnableAudio(on) { log("setEnableAudio(" + on + ")") }
        function playMedia_Index(n) { log("playMedia_Index(" + n + ")") }
        function clearAllMedia() { log("clearAllMedia") }
        function getIsSkinShow() { return skinShow }
        function chkLanguages() { return { "English": "031000", "Español": "111000" } }
        function getGlobalStrings(code) {
            log("getGlobalStrings(" + code + ")")
            return code === "111000" ? spanish : []
        }
    }

    Component {
        id: pageComponent
        Page_Globalsetting {}
    }

    SignalSpy { id: closeSpy; signalName: "closeRequested" }

    // Reads the pixels of an image item as it was loaded from its file.
    Canvas {
        id: pixelProbe
        y: 420
        width: 154
        height: 22
        property var image: null
        property var alpha: []
        renderStrategy: Canvas.Immediate
        onImageChanged: requestPaint()
        onPaint: {
            var ctx = getContext("2d")
            ctx.clearRect(0, 0, width, height)
            if (!image)
                return
            ctx.drawImage(image, 0, 0)
            var data = ctx.getImageData(0, 0, width, height).data
            var a = []
            for (var i = 3; i < data.length; i += 4)
                a.push(data[i])
            alpha = a
        }
    }

    TestCase {
        name: "Page_Globalsetting"
        when: windowShown

        // The configuration as the INI file returns it: every value text.
        function factoryConfig() {
            return ["1", "1", "0", "0", "0", "false", "", "0",
                    "0", "255", "255", "255", "200", "150", "255", "180", "0", "200", "200", "100",
                    "200", "170", "255", "255", "180", "180", "160", "190", "160",
                    "0", "7", "https://q3.example.org/"]
        }

        function init() {
            ui_View.calls = []
            ui_View.config = []
            ui_View.factory = factoryConfig()
            ui_View.saved = null
            ui_View.skinShow = true
            mainIten.rootCalls = []
            mainIten.lang = 0
            scene.page = createTemporaryObject(pageComponent, scene)
            verify(scene.page !== null)
            closeSpy.target = scene.page
            closeSpy.clear()
        }

        function child(name) {
            var item = findChild(scene.page, name)
            verify(item !== null, name)
            return item
        }

        function loaded(config) {
            ui_View.config = config
            scene.page.initUI()
            ui_View.calls = []
            mainIten.rootCalls = []
        }

        function chooseEntry(listName, index) {
            var list = child(listName)
            mouseClick(child(listName + "_field"))
            tryCompare(child(listName + "_list"), "height", list.mdItems.count * list.itemHeight + 2)
            mouseClick(child(listName + "_item" + index))
            compare(list.getCurIndex(), index)
        }

        function typeInto(fieldName, text, finish) {
            var input = child(fieldName + "_input")
            mouseClick(input)
            verify(input.activeFocus)
            input.selectAll()
            for (var i = 0; i < text.length; ++i)
                keyClick(text.charAt(i))
            if (finish)
                keyClick(Qt.Key_Return)
            return input
        }

        function channelsOf(color) {
            return [Math.round(color.r * 255), Math.round(color.g * 255), Math.round(color.b * 255)]
        }

        function test_empty_configuration_keeps_defaults() {
            var p = scene.page
            p.initUI()
            compare(ui_View.calls, ["loadApConfig"])
            compare(mainIten.rootCalls, [])
            compare(p._Size, 11)
            compare(Qt.colorEqual(p._Color, "#6e6e6e"), true)
            compare(p._AnimationSpeed, 800)
            compare(p.skin_No, 1)
            compare(p.isCustomBackground, false)
            compare(p._FontFamily, "Exo")
            compare(p._StringList.length, 125)
            compare(p._StringList[107], "APPLY")
            compare(p._StringList[124], "")
            compare(child("languageList").mdItems.count, 0)
            compare(child("backgroundList").currentText, "OFF")
            compare(child("soundList").currentText, "ON")
            compare(child("brightnessSlider").currentIndex, 7)
            compare(mainIten.globalSetting_size, 11)
        }

        function test_configuration_of_texts_is_read_by_type() {
            var cfg = factoryConfig()
            cfg[1] = "2"; cfg[2] = "1"; cfg[3] = "1"; cfg[4] = "1"; cfg[5] = "true"; cfg[7] = "1"
            cfg[17] = "1"; cfg[18] = "2"; cfg[19] = "3"; cfg[29] = "3"; cfg[30] = "2"
            cfg[31] = "https://example.net/"
            ui_View.config = cfg
            var p = scene.page
            p.initUI()

            compare(p.skin_No, 2)
            compare(child("skinList").getCurIndex(), 1)
            compare(mainIten.rootCalls, ["setSkin", "translateStrings(111000)"])
            // Sound off at start: switched off, the background sound not started.
            compare(ui_View.calls, ["loadApConfig", "setEnableAudio(false)", "getGlobalStrings(111000)"])
            compare(child("soundList").getCurIndex(), 1)
            compare(p._AnimationSpeed, 10)
            compare(child("animationList").getCurIndex(), 1)
            compare(child("languageList").currentText, "Español")
            compare(mainIten.lang, 1)
            compare(p._FontFamily, "Noto Sans")
            compare(p._StringList[27], "SONIDO")
            compare(p.isCustomBackground, true)
            compare(child("backgroundList").getCurIndex(), 1)
            compare(p._Size, 12)
            compare(child("sizeLarger").isSelect, true)
            compare(child("sizeNormal").isSelect, false)
            compare(p.selectedSwatch, 3)
            compare(p.swatches[3], [1, 2, 3])
            compare(channelsOf(p._Color), [1, 2, 3])
            compare(child("redField_input").text, "1")
            compare(child("blueField_input").text, "3")
            compare(child("brightnessSlider").currentIndex, 2)
            fuzzyCompare(p._Color.a, 105 / 255, 0.002)
            compare(p._Url, "https://example.net/")
        }

        // One damaged or text-typed entry at a time over the factory list.
        function test_damaged_entries_data() {
            return [
                { tag: "background as text false", at: 5, value: "false", prop: "isCustomBackground", expect: false },
                { tag: "background as 1", at: 5, value: "1", prop: "isCustomBackground", expect: true },
                { tag: "background as bool", at: 5, value: true, prop: "isCustomBackground", expect: true },
                { tag: "background unreadable", at: 5, value: "maybe", prop: "isCustomBackground", expect: false },
                { tag: "skin beyond the skins", at: 1, value: "3", prop: "skin_No", expect: 1 },
                { tag: "skin not a number", at: 1, value: "two", prop: "skin_No", expect: 1 },
                { tag: "skin as number", at: 1, value: 2, prop: "skin_No", expect: 2 },
                { tag: "animation unknown", at: 3, value: "5", prop: "_AnimationSpeed", expect: 800 },
                { tag: "size fraction", at: 7, value: "0.5", prop: "_Size", expect: 11 },
                { tag: "language beyond the list", at: 4, value: "9", prop: "languageIndex", expect: 0 },
                { tag: "language negative", at: 4, value: "-1", prop: "languageIndex", expect: 0 },
                { tag: "swatch beyond seven", at: 29, value: "7", prop: "selectedSwatch", expect: 0 },
                { tag: "brightness beyond 7", at: 30, value: "8", prop: "brightnessStep", expect: 7 },
                { tag: "brightness empty", at: 30, value: "", prop: "brightnessStep", expect: 7 },
                { tag: "brightness 0", at: 30, value: "0", prop: "brightnessStep", expect: 0 },
                { tag: "url empty keeps default", at: 31, value: "", prop: "_Url", expect: "https://q3.example.org/" }
            ]
        }

        function test_damaged_entries(data) {
            var cfg = factoryConfig()
            cfg[data.at] = data.value
            loaded(cfg)
            compare(scene.page[data.prop], data.expect)
        }

        function test_colour_entries_are_clamped_or_default() {
            var cfg = factoryConfig()
            cfg[8] = "300"; cfg[9] = "-5"; cfg[10] = "x"
            cfg[30] = "0"
            loaded(cfg)
            compare(scene.page.swatches[0], [255, 0, 255])
            compare(channelsOf(scene.page._Color), [255, 0, 255])
            fuzzyCompare(scene.page._Color.a, 45 / 255, 0.002)
        }

        function test_short_configuration_keeps_defaults_for_missing_entries() {
            loaded(["1", "2", "1"])
            var p = scene.page
            compare(p.skin_No, 2)
            compare(p.soundIndex, 1)
            compare(p._AnimationSpeed, 800)
            compare(p.swatches, p.defaultSwatches)
            compare(p.brightnessStep, 7)
            compare(p._Url, "https://q3.example.org/")
        }

        function test_apply_stores_32_entries_in_order_and_closes() {
            loaded(factoryConfig())
            mouseClick(child("swatch3"))
            compare(scene.page.selectedSwatch, 3)
            compare(child("redField_input").text, "200")
            typeInto("redField", "1", true)
            typeInto("greenField", "2", true)
            // The last field is still being edited when APPLY is pressed.
            typeInto("blueField", "3", false)
            mouseClick(child("applyButton"))

            var expected = [1, 1, 0, 0, 0, false, "", 0,
                            0, 255, 255, 255, 200, 150, 255, 180, 0, 1, 2, 3,
                            200, 170, 255, 255, 180, 180, 160, 190, 160,
                            3, 7, "https://q3.example.org/"]
            compare(ui_View.saved.length, 32)
            compare(ui_View.saved, expected)
            compare(closeSpy.count, 1)
            compare(channelsOf(scene.page._Color), [1, 2, 3])
        }

        function test_strip_press_sets_fields_swatch_and_colour() {
            loaded(factoryConfig())
            mouseClick(child("swatch2"))
            var strip = child("colorStrip")
            compare(strip.width, 96)
            mousePress(strip, 48, 8)
            mouseRelease(strip, 48, 8)
            compare(child("redField_input").text, "0")
            compare(child("greenField_input").text, "244")
            compare(child("blueField_input").text, "255")
            compare(scene.page.swatches[2], [0, 244, 255])
            compare(channelsOf(scene.page._Color), [0, 244, 255])
            compare(scene.page._Color.a, 1)
            // The other swatches stay as they were.
            compare(scene.page.swatches[1], [255, 200, 150])
            mouseClick(strip, 0, 8)
            compare(scene.page.swatches[2], [0, 0, 0])
        }

        function test_fields_commit_on_enter_and_on_focus_loss() {
            loaded(factoryConfig())
            typeInto("redField", "12", true)
            compare(scene.page.swatches[0], [12, 255, 255])
            // Leaving the field by clicking another one commits it.
            typeInto("greenField", "34", false)
            compare(scene.page.swatches[0], [12, 255, 255])
            mouseClick(child("blueField_input"))
            compare(scene.page.swatches[0], [12, 34, 255])
            compare(channelsOf(scene.page._Color), [12, 34, 255])
            // A click on the panel itself ends editing too.
            typeInto("blueField", "56", false)
            mouseClick(scene.page, 300, 30)
            compare(scene.page.swatches[0], [12, 34, 56])
        }

        // Whatever ends the editing of a field takes the focus out of it.
        function test_leaving_a_field_takes_its_focus_data() {
            return [
                { tag: "press on the panel", target: "", x: 300, y: 30 },
                { tag: "swatch", target: "swatch5", x: 11, y: 11 },
                { tag: "colour strip", target: "colorStrip", x: 48, y: 8 },
                { tag: "RESET", target: "resetButton", x: 10, y: 10 },
                { tag: "APPLY", target: "applyButton", x: 10, y: 10 }
            ]
        }

        function test_leaving_a_field_takes_its_focus(data) {
            loaded(factoryConfig())
            var input = typeInto("greenField", "77", false)
            verify(input.activeFocus)
            mouseClick(data.target === "" ? scene.page : child(data.target), data.x, data.y)
            verify(!input.activeFocus)
            verify(!child("redField_input").activeFocus)
            verify(!child("blueField_input").activeFocus)
            // Typing now reaches no field.
            keyClick("9")
            compare(input.text, String(scene.page.paletteG))
        }

        function test_enter_on_an_emptied_field_shows_the_stored_value() {
            loaded(factoryConfig())
            mouseClick(child("swatch1"))
            var channels = ["redField", "greenField", "blueField"]
            var stored = ["255", "200", "150"]
            for (var i = 0; i < channels.length; ++i) {
                var input = typeInto(channels[i], "", false)
                keyClick(Qt.Key_Backspace)
                compare(input.text, "")
                keyClick(i === 1 ? Qt.Key_Enter : Qt.Key_Return)
                compare(input.text, stored[i], channels[i])
                // Still editing: the next value typed is taken on Enter.
                verify(input.activeFocus)
            }
            compare(scene.page.swatches[1], [255, 200, 150])
            input = typeInto("blueField", "42", true)
            compare(scene.page.swatches[1], [255, 200, 42])
        }

        function test_fields_refuse_values_over_255() {
            loaded(factoryConfig())
            var input = typeInto("redField", "256", false)
            compare(input.text, "25")
            input.selectAll()
            keyClick("9")
            keyClick("9")
            keyClick("9")
            compare(input.text, "99")
            input.selectAll()
            keyClick("1")
            keyClick("0")
            keyClick("0")
            keyClick("0")
            compare(input.text, "100")
            keyClick(Qt.Key_Enter)
            compare(scene.page.swatches[0], [100, 255, 255])
            // Emptied and left: the field shows the palette's value again.
            input.selectAll()
            keyClick(Qt.Key_Backspace)
            compare(input.text, "")
            mouseClick(child("greenField_input"))
            compare(input.text, "100")
            compare(scene.page.swatches[0], [100, 255, 255])
        }

        function test_swatch_click_shows_its_colour() {
            loaded(factoryConfig())
            mouseClick(child("swatch4"))
            compare(child("redField_input").text, "200")
            compare(child("greenField_input").text, "170")
            compare(channelsOf(scene.page._Color), [200, 170, 255])
            compare(child("swatch4").Accessible.checked, true)
            compare(child("swatch0").Accessible.checked, false)
        }

        function test_brightness_slider_reaches_every_step() {
            loaded(factoryConfig())
            var slider = child("brightnessSlider")
            mouseClick(slider, 1, 11)
            compare(scene.page.brightnessStep, 0)
            fuzzyCompare(scene.page._Color.a, 45 / 255, 0.002)
            fuzzyCompare(mainIten.globalSetting_color.a, 45 / 255, 0.002)
            mouseClick(slider, slider.width - 1, 11)
            compare(scene.page.brightnessStep, 7)
            compare(scene.page._Color.a, 1)
            slider.forceActiveFocus()
            keyClick(Qt.Key_Left)
            compare(scene.page.brightnessStep, 6)
            fuzzyCompare(scene.page._Color.a, 225 / 255, 0.002)
        }

        // The x of each tick's centre along a track, from the alpha of one
        // row of its pixels.
        function tickCentres(alpha, width, row) {
            var centres = []
            var weight = 0
            var sum = 0
            for (var x = 0; x <= width; ++x) {
                var a = x < width ? alpha[row * width + x] : 0
                if (a > 10) {
                    weight += a
                    sum += (x + 0.5) * a
                } else if (weight > 0) {
                    centres.push(sum / weight)
                    weight = 0
                    sum = 0
                }
            }
            return centres
        }

        function test_brightness_knob_rests_on_a_tick_at_every_step() {
            loaded(factoryConfig())
            var slider = child("brightnessSlider")
            var knob = child("brightnessSlider_knob")
            var track = child("brightnessSlider_track")
            tryCompare(track, "status", Image.Ready)
            compare(track.sourceSize.width, slider.width)
            pixelProbe.image = track
            tryVerify(function() { return pixelProbe.alpha.length === 154 * 22 })
            // The lower tick marks run below the groove.
            var ticks = tickCentres(pixelProbe.alpha, 154, 17)
            compare(ticks.length, 8)

            // By pointer: a click on each tick picks its step and leaves the
            // knob's centre on it.
            for (var step = 7; step >= 0; --step) {
                mouseClick(slider, ticks[step], 11)
                compare(slider.currentIndex, step)
                compare(scene.page.brightnessStep, step)
                fuzzyCompare(knob.x + knob.width / 2, ticks[step], 0.5)
            }
            // By keyboard, up through every step.
            slider.forceActiveFocus()
            for (step = 1; step <= 7; ++step) {
                keyClick(Qt.Key_Right)
                compare(scene.page.brightnessStep, step)
                fuzzyCompare(knob.x + knob.width / 2, ticks[step], 0.5)
            }
            keyClick(Qt.Key_Right)
            compare(scene.page.brightnessStep, 7)
            // And from the configuration.
            var cfg = factoryConfig()
            cfg[30] = "4"
            loaded(cfg)
            fuzzyCompare(knob.x + knob.width / 2, ticks[4], 0.5)
        }

        function test_sound_on_and_off() {
            loaded(factoryConfig())
            chooseEntry("soundList", 1)
            compare(ui_View.calls, ["setEnableAudio(false)", "clearAllMedia"])
            ui_View.calls = []
            chooseEntry("soundList", 0)
            compare(ui_View.calls, ["setEnableAudio(true)", "playMedia_Index(0)"])
        }

        function test_animation_and_size_choices() {
            loaded(factoryConfig())
            chooseEntry("animationList", 1)
            compare(scene.page._AnimationSpeed, 10)
            chooseEntry("animationList", 0)
            compare(scene.page._AnimationSpeed, 800)
            mouseClick(child("sizeLarger"))
            compare(scene.page._Size, 12)
            compare(mainIten.globalSetting_size, 12)
            compare(child("sizeNormal").isSelect, false)
            mouseClick(child("sizeNormal"))
            compare(scene.page._Size, 11)
            chooseEntry("backgroundList", 1)
            compare(scene.page.isCustomBackground, true)
            chooseEntry("skinList", 1)
            compare(scene.page.skin_No, 2)
            compare(mainIten.rootCalls, ["setSkin"])
        }

        function test_language_choice_loads_texts_and_keeps_item_order() {
            loaded(factoryConfig())
            chooseEntry("languageList", 1)
            compare(ui_View.calls, ["getGlobalStrings(111000)"])
            compare(mainIten.rootCalls, ["translateStrings(111000)"])
            compare(mainIten.lang, 1)
            compare(scene.page._FontFamily, "Noto Sans")
            compare(mainIten.globalSetting_fontFamily, "Noto Sans")
            var bg = child("backgroundList").mdItems
            compare(bg.get(0).textX, "NO")
            compare(bg.get(1).textX, "SÍ")
            compare(child("soundList").mdItems.get(0).textX, "SÍ")
            compare(child("skinList").mdItems.get(1).textX, "PIEL 2")
            // Entries the language file lacks stay readable.
            compare(scene.page._StringList.length, 125)
            compare(scene.page._StringList[107], "APPLY")
            compare(child("applyButton").Accessible.name, "APPLY")
            compare(child("soundLabel").text, "SONIDO")
            // Back to English: the built-in list, and the font it names.
            chooseEntry("languageList", 0)
            compare(scene.page._FontFamily, "Exo")
            compare(child("backgroundList").mdItems.get(0).textX, "OFF")
            // The root's ALL RESET picks the language by index: the list shows it.
            scene.page.setLanguage(1)
            compare(child("languageList").currentText, "Español")
            scene.page.setLanguage(5)
            compare(scene.page.languageIndex, 1)
        }

        function test_reset_restores_factory_and_reapplies() {
            var cfg = factoryConfig()
            cfg[1] = "2"; cfg[3] = "1"; cfg[4] = "1"; cfg[30] = "3"
            loaded(cfg)
            compare(scene.page.skin_No, 2)
            mouseClick(child("resetButton"))
            compare(ui_View.calls, ["playMedia_Index(4)", "setEnableAudio(false)", "clearAllMedia", "resetApconfig",
                                    "loadApConfig", "setEnableAudio(true)", "getGlobalStrings(031000)",
                                    "playMedia_Index(0)"])
            compare(scene.page.skin_No, 1)
            compare(scene.page._AnimationSpeed, 800)
            compare(scene.page.languageIndex, 0)
            compare(mainIten.lang, 0)
            compare(scene.page.brightnessStep, 7)
            compare(child("soundList").getCurIndex(), 0)
            compare(ui_View.saved, null)
        }

        function test_single_skin_hides_its_row() {
            ui_View.skinShow = false
            var soundY = child("soundList").y
            loaded(factoryConfig())
            compare(child("skinList").visible, false)
            compare(child("skinLabel").visible, false)
            compare(child("soundList").y, soundY - 11)
        }

        function test_every_control_is_named_for_people() {
            loaded(factoryConfig())
            var names = ["skinList", "soundList", "animationList", "languageList", "backgroundList",
                         "sizeNormal", "sizeLarger", "swatch0", "swatch6", "colorStrip",
                         "redField_input", "greenField_input", "blueField_input", "brightnessSlider",
                         "resetButton", "applyButton"]
            for (var i = 0; i < names.length; ++i) {
                var item = child(names[i])
                verify(item.Accessible.name.length > 0, names[i])
            }
            compare(child("resetButton").Accessible.name, "RESET")
            compare(child("brightnessSlider").Accessible.name, "BRIGHTNESS")
            compare(child("redField_input").Accessible.role, Accessible.EditableText)
        }
    }
}
