// The global settings panel: skin, sound, animation, language, background,
// and the size, colour and brightness of every text. Choices take effect at
// once; APPLY stores them in the application configuration, RESET restores
// the factory one. It owns the texts of the current language and the shared
// look that the root document republishes to every other document.
//
// Entries read back from the configuration may be text ("false", "7") or
// damaged: every one is converted and range-checked, and anything unusable
// keeps its default.
import QtQuick 2.15
import Gearpanel 1.0
import "../common"

Item {
    id: page
    width: 319
    height: 411

    property int _Size: 11
    property color _Color: "#6e6e6e"
    property color _ColorEnable: "#FFFFFF"
    property color _ColorDisable: "#FFAAAAAA"
    property int _AnimationSpeed: 800
    property int skin_No: 1
    property bool isCustomBackground: false
    property string _FontFamily: "Exo"
    property var _StringList: englishStrings
    property string _Url: "https://q3.example.org/"

    // APPLY has stored the settings: the owner closes the panel.
    signal closeRequested

    // The built-in English texts, by index; a language file supplies the
    // same list in its language.
    readonly property var englishStrings: [
        "Exo", "OPTIONS", "LOOP", "SPEED", "BRIGHTNESS",  // 0
        "DIRECTION", "PAINTING", "EFFECTS", "USER DEFINE 1", "USER DEFINE 2",  // 5
        "USER DEFINE 3", "USER DEFINE 4", "USER DEFINE 5", "STATIC", "BREATHING",  // 10
        "WAVE", "INDUCTION DARKEN", "MARQUEE", "RIPPLE", "INDUCTION BRIGHTEN",  // 15
        "NEON", "MARQUEE COLORFUL", "RAINING", "MARQUEE CIRCLE", "SPOTLIGHT",  // 20
        "ROTATION", "SKIN", "SOUND", "ANIMATED", "LANGUAGE",  // 25
        "BACKGROUND", "ON", "OFF", "TEXT", "SIZE",  // 30
        "COLOR", "BRIGHTNESS", "NORMAL", "LARGER", "SKIN 1",  // 35
        "SKIN 2", "SKIN 3", "SKIN 4", "SKIN 5", "MACRO",  // 40
        "ACTION", "KEYBOARD", "MOUSE", "MEDIA", "COMBO KEY",  // 45
        "MACRO", "LEFT", "RIGHT", "MIDDLE", "B4",  // 50
        "B5", "NEXT TRACK", "PREVIOUS TRACK", "STOP", "PLAY / PAUSE",  // 55
        "MUTE", "VOLUME UP", "VOLUME DOWN", "MEDIA SELECT", "MAIL",  // 60
        "CALCULATOR", "MY COMPUTER", "WWW SEARCH", "WWW HOME", "WWW BACK",  // 65
        "WWW FORWARD", "WWW STOP", "WWW REFRESH", "WWW FAVORITES", "KEY",  // 70
        "MACRO", "COLOR", "RESET", "CANCEL", "GAMING MODE",  // 75
        "DELETE", "CUT", "PASTE", "COPY", "LOAD",  // 80
        "SAVE", "SENSOR", "LED POWER ON", "TWINKLING", "GLIDING",  // 85
        "FINGER MOVING", "VERTICAL FLIPPING", "YO-YO", "FIRE KEY", "TRIPLE CLICK",  // 90
        "DPI SWITCH", "NORMAL PLAY", "TIMES", "ALWAYS REPEAT", "REPEAT ON PRESSED",  // 95
        "POLLING RATE", "CURSOR SPEED", "VERTICAL SCROLL SPEED", "DOUBLE CLICK SPEED", "DPI LEVEL",  // 100
        "DPI INDICATOR LED", "DEFAULT", "APPLY", "SCROLL SWAP", "SCROLL UP",  // 105
        "SCROLL DOWN", "LED CONTROL", "RENAME", "ALL RESET", "ALL SAVE",  // 110
        "RECORD", "", "", "", "",  // 115
        "", "", "", "", ""  // 120
    ]

    // Drop-down positions as the configuration stores them.
    property int soundIndex: 0          // 0 on, 1 off
    property int animationIndex: 0      // 0 on, 1 off
    property int languageIndex: 0
    property int sizeIndex: 0           // 0 normal, 1 larger
    property int brightnessStep: 7
    property bool skinShown: true

    // The seven text colours as [r, g, b]; the selected one is what the
    // strip and the R, G, B fields edit.
    readonly property var defaultSwatches: [[0, 255, 255], [255, 200, 150], [255, 180, 0], [200, 200, 100],
                                            [200, 170, 255], [255, 180, 180], [160, 190, 160]]
    property var swatches: copySwatches(defaultSwatches)
    property int selectedSwatch: 0
    property int paletteR: 255
    property int paletteG: 255
    property int paletteB: 255

    // Rows below the skin row move up when there is only one skin to offer.
    readonly property int rowShift: skinShown ? 0 : -11
    readonly property int labelX: 20
    readonly property int controlX: 150

    // The text at index i of the current list, never undefined.
    function tr(i) {
        var t = _StringList[i]
        return (t === undefined || t === null) ? "" : String(t)
    }

    function copySwatches(list) {
        var out = []
        for (var i = 0; i < list.length; ++i)
            out.push([list[i][0], list[i][1], list[i][2]])
        return out
    }

    function hasView() {
        return typeof ui_View !== "undefined" && ui_View !== null
    }

    function rootCall(name, arg) {
        if (typeof mainIten !== "undefined" && mainIten !== null && typeof mainIten[name] === "function")
            mainIten[name](arg)
    }

    function setRootLang(index) {
        if (typeof mainIten !== "undefined" && mainIten !== null && mainIten.lang !== undefined)
            mainIten.lang = index
    }

    // _Color is always the palette colour with the brightness as alpha.
    function updateColor() {
        _Color = UiMath.textColor(paletteR, paletteG, paletteB, brightnessStep)
    }

    function showPalette(r, g, b) {
        paletteR = r
        paletteG = g
        paletteB = b
        redField.text = String(r)
        greenField.text = String(g)
        blueField.text = String(b)
        updateColor()
    }

    // A colour picked on the strip or typed in: it becomes the selected
    // swatch's colour too.
    function setPaletteColor(r, g, b) {
        var s = copySwatches(swatches)
        s[selectedSwatch] = [r, g, b]
        swatches = s
        showPalette(r, g, b)
    }

    function selectSwatch(index) {
        if (index < 0 || index >= swatches.length)
            return
        selectedSwatch = index
        var c = swatches[index]
        showPalette(c[0], c[1], c[2])
    }

    function pickOnStrip(x) {
        var c = UiMath.stripColor(x, strip.width)
        setPaletteColor(c[0], c[1], c[2])
    }

    // Takes the R, G, B fields as they stand; a field holding no valid value
    // shows the palette's value again.
    function commitFields() {
        var r = UiMath.parseChannel(redField.text)
        var g = UiMath.parseChannel(greenField.text)
        var b = UiMath.parseChannel(blueField.text)
        if (r < 0) r = paletteR
        if (g < 0) g = paletteG
        if (b < 0) b = paletteB
        setPaletteColor(r, g, b)
    }

    // Ends editing of an R, G or B field, committing what it holds. The
    // focus sits in a field's text input, never in its frame.
    function leaveFields() {
        if (redField.editing || greenField.editing || blueField.editing)
            page.forceActiveFocus()
        commitFields()
    }

    function setBrightness(step) {
        brightnessStep = UiMath.toInt(step, 0, 7, 7)
        updateColor()
    }

    function setSkin(index) {
        skin_No = index + 1
        rootCall("setSkin")
    }

    function setSound(index) {
        soundIndex = index === 1 ? 1 : 0
        if (!hasView())
            return
        if (soundIndex === 0) {
            ui_View.setEnableAudio(true)
            ui_View.playMedia_Index(0)
        } else {
            ui_View.setEnableAudio(false)
            ui_View.clearAllMedia()
        }
    }

    function setAnimation(index) {
        animationIndex = index === 1 ? 1 : 0
        _AnimationSpeed = animationIndex === 1 ? 10 : 800
    }

    function setBackground(index) {
        isCustomBackground = index === 1
    }

    function setTextSize(index) {
        sizeIndex = index === 1 ? 1 : 0
        _Size = sizeIndex === 1 ? 12 : 11
    }

    // Fills the language drop-down from the language files found, in the
    // order the view lists them.
    function initLanguage() {
        languageModel.clear()
        if (!hasView())
            return
        var langs = ui_View.chkLanguages()
        if (!langs)
            return
        for (var name in langs)
            languageModel.append({ textX: String(name), code: String(langs[name]) })
    }

    function setLanguage(uiIndex) {
        var index = UiMath.toInt(uiIndex, 0, languageModel.count - 1, -1)
        if (index < 0 || !hasView())
            return
        languageIndex = index
        languageList.setCurIndex(index)
        var code = languageModel.get(index).code
        var loaded = ui_View.getGlobalStrings(code)
        // A short or missing language file leaves the English text in the
        // entries it lacks, so no document is left without a text.
        var list = englishStrings.slice()
        if (loaded) {
            for (var i = 0; i < loaded.length && i < list.length; ++i)
                list[i] = String(loaded[i])
            for (var j = list.length; j < loaded.length; ++j)
                list.push(String(loaded[j]))
        }
        _StringList = list
        translateStrings()
        rootCall("translateStrings", code)
        _FontFamily = list[0].length > 0 ? list[0] : englishStrings[0]
    }

    function setItemTexts(model, texts) {
        if (model.count !== texts.length) {
            model.clear()
            for (var i = 0; i < texts.length; ++i)
                model.append({ textX: texts[i] })
        } else {
            for (var j = 0; j < texts.length; ++j)
                model.setProperty(j, "textX", texts[j])
        }
    }

    function translateStrings() {
        setItemTexts(skinModel, [tr(39), tr(40)])
        setItemTexts(soundModel, [tr(31), tr(32)])
        setItemTexts(animationModel, [tr(31), tr(32)])
        setItemTexts(backgroundModel, [tr(32), tr(31)])
    }

    function initUI() {
        if (!hasView())
            return
        var cfg = ui_View.loadApConfig()
        if (cfg && cfg.length > 0) {
            skin_No = UiMath.toInt(cfg[1], 1, skinModel.count, 1)
            skinList.setCurIndex(skin_No - 1)
            rootCall("setSkin")

            soundIndex = UiMath.toInt(cfg[2], 0, 1, 0)
            ui_View.setEnableAudio(soundIndex === 0)
            soundList.setCurIndex(soundIndex)

            setAnimation(UiMath.toInt(cfg[3], 0, 1, 0))
            animationList.setCurIndex(animationIndex)

            initLanguage()
            var lang = UiMath.toInt(cfg[4], 0, Math.max(languageModel.count - 1, 0), 0)
            languageList.setCurIndex(lang)
            setLanguage(lang)
            languageIndex = lang
            setRootLang(lang)

            setBackground(UiMath.toBool(cfg[5], false) ? 1 : 0)
            backgroundList.setCurIndex(isCustomBackground ? 1 : 0)

            setTextSize(UiMath.toInt(cfg[7], 0, 1, 0))

            var s = []
            for (var c = 0; c < 7; ++c) {
                var d = defaultSwatches[c]
                s.push([UiMath.toChannel(cfg[8 + 3 * c], d[0]), UiMath.toChannel(cfg[9 + 3 * c], d[1]),
                        UiMath.toChannel(cfg[10 + 3 * c], d[2])])
            }
            swatches = s
            selectedSwatch = UiMath.toInt(cfg[29], 0, 6, 0)
            brightnessStep = UiMath.toInt(cfg[30], 0, 7, 7)
            brightnessSlider.setCurIndex(brightnessStep)
            var sel = swatches[selectedSwatch]
            showPalette(sel[0], sel[1], sel[2])

            if (cfg[31] !== undefined && cfg[31] !== null && String(cfg[31]).length > 0)
                _Url = String(cfg[31])
        }
        skinShown = ui_View.getIsSkinShow() === true
    }

    function resetApconfig() {
        leaveFields()
        soundList.setCurIndex(1)
        setSound(1)
        if (!hasView())
            return
        ui_View.resetApconfig()
        initUI()
        ui_View.playMedia_Index(0)
    }

    // The configuration list, in the order the configuration file keeps it.
    function buildApConfig() {
        var list = [1, skin_No, soundIndex, animationIndex, languageIndex, isCustomBackground, "", sizeIndex]
        for (var c = 0; c < 7; ++c)
            list.push(swatches[c][0], swatches[c][1], swatches[c][2])
        list.push(selectedSwatch, brightnessStep, _Url)
        return list
    }

    function apply() {
        leaveFields()
        if (hasView())
            ui_View.saveApConfig(buildApConfig())
        closeRequested()
    }

    Component.onCompleted: {
        translateStrings()
        skinList.setCurIndex(0)
        soundList.setCurIndex(0)
        animationList.setCurIndex(0)
        backgroundList.setCurIndex(0)
        redField.text = String(paletteR)
        greenField.text = String(paletteG)
        blueField.text = String(paletteB)
    }

    ListModel { id: skinModel }
    ListModel { id: soundModel }
    ListModel { id: animationModel }
    ListModel { id: languageModel }
    ListModel { id: backgroundModel }

    Image {
        anchors.fill: parent
        source: mainIten.sourceGlobalsettingBackground
    }

    // Presses on the panel's empty parts end editing of a colour field and
    // do not reach the window's drag area below.
    MouseArea {
        anchors.fill: parent
        onPressed: page.leaveFields()
    }

    // A label on the left of a row.
    component RowLabel: Text {
        x: page.labelX
        width: page.controlX - page.labelX - 6
        height: 22
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
        font.family: page._FontFamily
        font.pixelSize: page._Size
        color: page._Color
    }

    RowLabel {
        objectName: "skinLabel"
        y: 50
        visible: page.skinShown
        text: page.tr(26)
    }
    DropdownList {
        id: skinList
        objectName: "skinList"
        x: page.controlX
        y: 50
        visible: page.skinShown
        enabled: page.skinShown
        mdItems: skinModel
        Accessible.description: page.tr(26)
        onListElementClicked: page.setSkin(index)
    }

    RowLabel {
        objectName: "soundLabel"
        y: 80 + page.rowShift
        text: page.tr(27)
    }
    DropdownList {
        id: soundList
        objectName: "soundList"
        x: page.controlX
        y: 80 + page.rowShift
        mdItems: soundModel
        Accessible.description: page.tr(27)
        onListElementClicked: page.setSound(index)
    }

    RowLabel {
        objectName: "animationLabel"
        y: 110 + page.rowShift
        text: page.tr(28)
    }
    DropdownList {
        id: animationList
        objectName: "animationList"
        x: page.controlX
        y: 110 + page.rowShift
        mdItems: animationModel
        Accessible.description: page.tr(28)
        onListElementClicked: page.setAnimation(index)
    }

    RowLabel {
        objectName: "languageLabel"
        y: 140 + page.rowShift
        text: page.tr(29)
    }
    DropdownList {
        id: languageList
        objectName: "languageList"
        x: page.controlX
        y: 140 + page.rowShift
        mdItems: languageModel
        Accessible.description: page.tr(29)
        onListElementClicked: {
            page.setLanguage(index)
            page.setRootLang(index)
        }
    }

    RowLabel {
        objectName: "backgroundLabel"
        y: 170 + page.rowShift
        text: page.tr(30)
    }
    DropdownList {
        id: backgroundList
        objectName: "backgroundList"
        x: page.controlX
        y: 170 + page.rowShift
        mdItems: backgroundModel
        Accessible.description: page.tr(30)
        onListElementClicked: page.setBackground(index)
    }

    // The text group: size, colour, brightness.
    Rectangle {
        id: textGroup
        objectName: "textGroup"
        x: 12
        y: 216 + page.rowShift
        width: page.width - 24
        height: 148
        color: "transparent"
        radius: 4
        border.color: page._ColorDisable
        opacity: 0.5
    }
    Text {
        objectName: "textGroupLabel"
        x: page.labelX
        y: 199 + page.rowShift
        height: 16
        leftPadding: 4
        rightPadding: 4
        verticalAlignment: Text.AlignVCenter
        font.family: page._FontFamily
        font.pixelSize: page._Size
        font.bold: true
        color: page._Color
        text: page.tr(33)
    }

    RowLabel {
        objectName: "sizeLabel"
        y: 226 + page.rowShift
        text: page.tr(34)
    }
    RadioButton {
        id: sizeNormal
        objectName: "sizeNormal"
        x: page.controlX
        y: 226 + page.rowShift
        height: 22
        index: 0
        isSelect: page.sizeIndex === 0
        chkStr: page.tr(37)
        onClicked: page.setTextSize(index)
    }
    RadioButton {
        id: sizeLarger
        objectName: "sizeLarger"
        x: page.controlX + 80
        y: 226 + page.rowShift
        height: 22
        index: 1
        isSelect: page.sizeIndex === 1
        chkStr: page.tr(38)
        onClicked: page.setTextSize(index)
    }

    RowLabel {
        objectName: "colorLabel"
        y: 254 + page.rowShift
        text: page.tr(35)
    }
    Row {
        x: page.controlX - 60
        y: 254 + page.rowShift
        spacing: 2
        Repeater {
            model: 7
            delegate: Item {
                id: swatch
                objectName: "swatch" + index
                width: 22
                height: 22
                readonly property bool isCurrent: index === page.selectedSwatch
                readonly property var rgb: page.swatches[index]

                activeFocusOnTab: true
                Accessible.role: Accessible.Button
                Accessible.name: page.tr(35) + " " + (index + 1)
                Accessible.checkable: true
                Accessible.checked: isCurrent
                Accessible.focusable: true
                Accessible.onPressAction: swatch.choose()
                Keys.onSpacePressed: swatch.choose()

                function choose() {
                    if (typeof ui_View !== "undefined")
                        ui_View.playMedia_Index(4)
                    page.leaveFields()
                    page.selectSwatch(index)
                }

                Rectangle {
                    anchors.centerIn: parent
                    width: 14
                    height: 14
                    radius: 7
                    color: Qt.rgba(swatch.rgb[0] / 255, swatch.rgb[1] / 255, swatch.rgb[2] / 255, 1)
                }
                Image {
                    anchors.fill: parent
                    visible: swatch.isCurrent || swatch.activeFocus
                    source: mainIten.sourcePaletteIndex
                }
                MouseArea {
                    anchors.fill: parent
                    onClicked: swatch.choose()
                }
            }
        }
    }

    // The colour strip: a press or drag picks the colour under the pointer.
    Image {
        id: strip
        objectName: "colorStrip"
        x: page.controlX - 60
        y: 284 + page.rowShift
        width: 96
        height: 16
        source: mainIten.sourcePalette

        Accessible.role: Accessible.Slider
        Accessible.name: page.tr(35)
        Accessible.focusable: true

        MouseArea {
            anchors.fill: parent
            onPressed: {
                page.leaveFields()
                page.pickOnStrip(mouse.x)
            }
            onPositionChanged: {
                if (pressed)
                    page.pickOnStrip(Math.min(Math.max(mouse.x, 0), strip.width - 1))
            }
        }
    }

    // One R, G or B field: up to three digits, 0 to 255, taken on Enter or
    // when the focus leaves it.
    component ChannelField: Item {
        id: channel
        property alias text: input.text
        property string letter
        readonly property bool editing: input.activeFocus
        width: 50
        height: 20
        activeFocusOnTab: false

        Text {
            width: 12
            height: parent.height
            verticalAlignment: Text.AlignVCenter
            font.family: page._FontFamily
            font.pixelSize: page._Size
            color: page._Color
            text: channel.letter
        }
        Image {
            x: 12
            width: 36
            height: 20
            source: mainIten.sourceInputValue
        }
        function enterPressed(event) {
            if (!input.acceptableInput)
                page.commitFields()
            event.accepted = false
        }

        TextInput {
            id: input
            objectName: channel.objectName + "_input"
            x: 14
            width: 32
            height: 20
            verticalAlignment: TextInput.AlignVCenter
            horizontalAlignment: TextInput.AlignHCenter
            maximumLength: 3
            // Refuses any keystroke that would make the value exceed 255.
            validator: RegularExpressionValidator { regularExpression: /[01]?[0-9]?[0-9]|2[0-4][0-9]|25[0-5]/ }
            selectByMouse: true
            activeFocusOnTab: true
            font.family: page._FontFamily
            font.pixelSize: page._Size
            color: page._Color
            selectionColor: page._ColorDisable
            Accessible.role: Accessible.EditableText
            Accessible.name: channel.letter
            Accessible.editable: true
            Accessible.focusable: true
            onEditingFinished: page.commitFields()
            // An emptied field is not acceptable input, so the input never
            // reports Enter for it: show the stored value again here.
            Keys.onReturnPressed: channel.enterPressed(event)
            Keys.onEnterPressed: channel.enterPressed(event)
            onActiveFocusChanged: {
                if (activeFocus)
                    selectAll()
                else
                    page.commitFields()
            }
        }
    }

    ChannelField {
        id: redField
        objectName: "redField"
        x: page.controlX - 60
        y: 310 + page.rowShift
        letter: "R"
    }
    ChannelField {
        id: greenField
        objectName: "greenField"
        x: page.controlX - 4
        y: 310 + page.rowShift
        letter: "G"
    }
    ChannelField {
        id: blueField
        objectName: "blueField"
        x: page.controlX + 52
        y: 310 + page.rowShift
        letter: "B"
    }

    RowLabel {
        objectName: "brightnessLabel"
        y: 336 + page.rowShift
        text: page.tr(36)
    }
    // Eight stops, so every step 0 to 7 can be reached by pointer as well
    // as from the configuration. They lie 16 pixels apart on a track painted
    // with eight ticks there; the last value only closes the last span.
    Slider {
        id: brightnessSlider
        objectName: "brightnessSlider"
        x: page.controlX - 14
        y: 336 + page.rowShift
        trackSource: mainIten.sourceSliderBG8
        scaleValue: [21, 37, 53, 69, 85, 101, 117, 133, 149]
        currentIndex: 7
        Accessible.name: page.tr(36)
        onSliderClicked: page.setBrightness(index)
    }

    Button_2state {
        id: resetButton
        objectName: "resetButton"
        x: 80
        y: 374
        source0: mainIten.sourceReset0
        source1: mainIten.sourceReset1
        Accessible.name: page.tr(77)
        onClicked: page.resetApconfig()
        Text {
            anchors.centerIn: parent
            width: parent.width - 8
            horizontalAlignment: Text.AlignHCenter
            // Longer translations shrink to fit the button.
            fontSizeMode: Text.HorizontalFit
            minimumPixelSize: 7
            font.family: page._FontFamily
            font.pixelSize: page._Size
            color: resetButton.mouse.containsMouse ? page._ColorEnable : page._Color
            text: page.tr(77)
        }
    }
    Button_2state {
        id: applyButton
        objectName: "applyButton"
        x: 170
        y: 374
        source0: mainIten.sourceApply0
        source1: mainIten.sourceApply1
        Accessible.name: page.tr(107)
        onClicked: page.apply()
        Text {
            anchors.centerIn: parent
            width: parent.width - 8
            horizontalAlignment: Text.AlignHCenter
            // Longer translations shrink to fit the button.
            fontSizeMode: Text.HorizontalFit
            minimumPixelSize: 7
            font.family: page._FontFamily
            font.pixelSize: page._Size
            color: applyButton.mouse.containsMouse ? page._ColorEnable : page._Color
            text: page.tr(107)
        }
    }
}
