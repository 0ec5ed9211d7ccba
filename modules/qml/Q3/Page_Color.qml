// The lighting page: the effect (a user picture of group PAINTING or one of
// the twelve EFFECTS), brightness, speed, direction, the seven-colour table
// with LOOP, the palette and its R/G/B fields, and painting the user
// pictures on the keyboard drawing. Nothing reaches the keyboard before
// APPLY (or ALL SAVE). initUI reads the profile; tongbu follows what the
// keyboard reports while the unsaved pictures and colours stay.
import QtQuick 2.15
import Gearpanel 1.0
import "../common"

Item {
    id: colorPage
    width: background.implicitWidth > 0 ? background.implicitWidth : 792
    height: background.implicitHeight > 0 ? background.implicitHeight : 442

    readonly property alias keyModel: _model
    readonly property alias effectController: _eft_Ctrl
    readonly property alias preview: _model.preview
    readonly property var defaultColors: [255, 0, 0, 0, 255, 0, 255, 255, 0, 0, 0, 255, 0, 255, 255, 255, 0, 255,
        255, 255, 255]
    // The effect a profile gets from RESET.
    readonly property var profileDefaults: [0x00, 0x09, 0x07, 0x06]
    readonly property int pictureValues: 384
    // Notifications within this long after APPLY are taken for its echo.
    property int tongbuHoldMs: 2000

    // 0 PAINTING, 1 EFFECTS, -1 none.
    property int group: -1
    // The effect code last read or chosen, kept when the lists have no
    // entry for it so that it is sent back as it came.
    property int readEffect: 0
    // A colour byte read outside 0..7, sent back as read; -1 when none.
    property int colorRaw: -1
    property var colorTable: defaultColors.slice()
    property var pictures: [zeroPicture(), zeroPicture(), zeroPicture(), zeroPicture(), zeroPicture()]
    property int paletteR: 255
    property int paletteG: 0
    property int paletteB: 0
    property double lastApplyTime: 0

    readonly property int effectIndex: _eft_Ctrl.effectIndex
    readonly property bool speedEnabled: effectIndex >= 0x00 && effectIndex <= 0x0B
    readonly property bool directionEnabled: effectIndex === 0x06 || effectIndex === 0x0A
    readonly property bool colorEnabled: [0x00, 0x01, 0x02, 0x03, 0x05, 0x08, 0x09].indexOf(effectIndex) >= 0
                                         || isPicture(effectIndex)
    readonly property bool sendEnabled: mainIten.keyboardConnected !== false

    // Calls the view's slot when the view has it, else gives undefined.
    function view(name, args) {
        if (typeof ui_View === "undefined" || ui_View === null || typeof ui_View[name] !== "function")
            return undefined
        return ui_View[name].apply(ui_View, args || [])
    }

    function uiText(index, fallback) {
        var list = mainIten.globalSetting_stringList
        var t = list && index < list.length ? list[index] : undefined
        return (t === undefined || t === null || String(t) === "") ? fallback : String(t)
    }

    function isPicture(code) {
        return code >= 0x33 && code <= 0x37
    }

    // Rounds halves upwards, as the keyboard's levels do.
    function roundUp(x) {
        return Math.floor(x + 0.5)
    }

    function numberOf(value) {
        if (value === undefined || value === null || value === "")
            return undefined
        var n = Number(value)
        return isFinite(n) ? Math.floor(n) : undefined
    }

    function channel(value) {
        var n = numberOf(value)
        return n === undefined ? 0 : Math.max(0, Math.min(255, n))
    }

    function zeroPicture() {
        var p = []
        for (var i = 0; i < 384; ++i)
            p.push(0)
        return p
    }

    // Always 384 values 0..255, whatever the profile file held: the bridge
    // refuses a shorter list.
    function completePicture(list) {
        var p = zeroPicture()
        var n = Math.min(list.length, pictureValues)
        for (var i = 0; i < n; ++i)
            p[i] = channel(list[i])
        return p
    }

    function pictureOfEffect() {
        return isPicture(effectIndex) ? pictures[effectIndex - 0x33] : zeroPicture()
    }

    function setPictures(list) {
        pictures = list
        _eft_Ctrl.picture = pictureOfEffect()
    }

    function setColorTable(table) {
        colorTable = table
        _eft_Ctrl.colorTable = table
    }

    // --- the effect choice -------------------------------------------------

    // Chooses group and entry for a code read from the keyboard or the file.
    function showEffect(code) {
        if (code !== readEffect)
            _model.clearSelection()
        readEffect = code
        if (isPicture(code)) {
            group = 0
            pictureList.setCurIndex(code - 0x33)
            _eft_Ctrl.effectIndex = code
        } else if (code >= 0x00 && code <= 0x0C) {
            group = 1
            effectList.setCurIndex(code)
            // 0x0C has no entry: no effect is chosen, and APPLY sends 0x0C.
            _eft_Ctrl.effectIndex = effectList.getCurIndex()
        } else {
            group = -1
            _eft_Ctrl.effectIndex = -1
        }
        _eft_Ctrl.picture = pictureOfEffect()
    }

    function chooseGroup(index) {
        if (index === group)
            return
        controlMenu()
        group = index
        var list = index === 0 ? pictureList : effectList
        var entry = list.getCurIndex() >= 0 ? list.getCurIndex() : 0
        list.setCurIndex(entry)
        chooseEffect(index === 0 ? 0x33 + entry : entry)
    }

    function chooseEffect(code) {
        readEffect = code
        _eft_Ctrl.effectIndex = code
        _eft_Ctrl.picture = pictureOfEffect()
        _model.clearSelection()
        restartPreview()
    }

    // --- levels ------------------------------------------------------------

    // A position set by a device read or RESET: the level follows it.
    function setBrightnessPos(pos) {
        brightnessSlider.setCurIndex(pos)
        _eft_Ctrl.brightnessLV = Math.max(0, Math.min(7, pos))
    }

    function setSpeedPos(pos) {
        speedSlider.setCurIndex(pos)
        _eft_Ctrl.speedLV = (8 - Math.max(0, Math.min(7, pos))) % 8
    }

    // The speed slider's position for a speed read from the keyboard;
    // `lowToSlowest` is tongbu's rule, where every speed below 2 gives 7.
    function speedPosition(s, lowToSlowest) {
        if (s >= 7)
            return 1
        if (s >= 2)
            return 8 - s
        if (s === 1 || lowToSlowest)
            return 7
        return 1
    }

    // The pointer's own rules: brightness level = position, speed level =
    // 7 - position.
    function brightnessMoved(pos) {
        _eft_Ctrl.brightnessLV = pos
    }

    function speedMoved(pos) {
        _eft_Ctrl.speedLV = 7 - pos
    }

    function directionChosen(index) {
        _eft_Ctrl.directLV = index === 2 ? 2 : 1
    }

    // --- colours -----------------------------------------------------------

    function entryColor(i) {
        return [colorTable[3 * i], colorTable[3 * i + 1], colorTable[3 * i + 2]]
    }

    function showPalette(r, g, b) {
        paletteR = r
        paletteG = g
        paletteB = b
        redField.text = String(r)
        greenField.text = String(g)
        blueField.text = String(b)
    }

    // A colour picked or typed: into the palette, and into the chosen table
    // entry; under LOOP there is no entry to write.
    function setPaletteColor(r, g, b) {
        showPalette(r, g, b)
        var i = _eft_Ctrl.colorLV
        if (i < 0 || i > 6)
            return
        var c = entryColor(i)
        if (c[0] === r && c[1] === g && c[2] === b)
            return
        var t = colorTable.slice()
        t[3 * i] = r
        t[3 * i + 1] = g
        t[3 * i + 2] = b
        setColorTable(t)
    }

    function chooseColor(index) {
        leaveFields()
        colorRaw = -1
        _eft_Ctrl.colorLV = index
        if (index >= 0 && index < 7) {
            var c = entryColor(index)
            showPalette(c[0], c[1], c[2])
        }
    }

    function pickOnStrip(x) {
        var c = UiMath.stripColor(x, paletteStrip.width)
        setPaletteColor(c[0], c[1], c[2])
    }

    function commitFields() {
        var r = UiMath.parseChannel(redField.text)
        var g = UiMath.parseChannel(greenField.text)
        var b = UiMath.parseChannel(blueField.text)
        setPaletteColor(r < 0 ? paletteR : r, g < 0 ? paletteG : g, b < 0 ? paletteB : b)
    }

    function leaveFields() {
        if (redField.editing || greenField.editing || blueField.editing)
            colorPage.forceActiveFocus()
        commitFields()
    }

    // --- painting ----------------------------------------------------------

    // The palette colour into the current user picture at these keys.
    function paintKeys(matrices) {
        if (group !== 0 || !isPicture(effectIndex))
            return
        var n = effectIndex - 0x33
        var p = pictures[n].slice()
        for (var i = 0; i < matrices.length; ++i) {
            var m = matrices[i]
            if (m < 0 || 3 * m + 2 >= p.length)
                continue
            p[3 * m] = paletteR
            p[3 * m + 1] = paletteG
            p[3 * m + 2] = paletteB
        }
        var all = pictures.slice()
        all[n] = p
        setPictures(all)
    }

    // --- reading the keyboard ----------------------------------------------

    // Within the short time after APPLY a notification is its echo; later
    // ones are the user's own changes at the keyboard.
    function tongbuHeld() {
        if (mainIten.disableTongbu <= 0)
            return false
        if (Date.now() - lastApplyTime <= tongbuHoldMs)
            return true
        mainIten.disableTongbu = 0
        return false
    }

    function initUI(isFirst, _HWDef) {
        if ((isFirst || _model.getKey.length === 0) && _HWDef)
            _model.build(_HWDef)
        if (isFirst)
            translateStrings()
        readKeyboard()
        // A page made after the window's start missed the keyboard's own
        // lighting that the window handed the pages then.
        if (isFirst) {
            var led = view("ui_88H_GetLEDTypeX")
            if (led && led.length >= 3)
                tongbu(led[0], led[1], led[2])
        }
        restartPreview()
    }

    function readKeyboard() {
        var colors = view("ui_B0H_GetColor")
        if (colors && colors.length > 0) {
            // A short list keeps the entries it does not reach.
            var t = colorTable.slice()
            for (var i = 0; i < Math.min(colors.length, 21); ++i)
                t[i] = channel(colors[i])
            setColorTable(t)
        }
        var all = pictures.slice()
        for (var k = 0; k < 5; ++k) {
            var picture = view("ui_92H_GetUserPicture", [k])
            if (picture && picture.length > 0)
                all[k] = completePicture(picture)
        }
        setPictures(all)

        var led = view("ui_88H_GetLEDType")
        if (!led || led.length === 0)
            return
        var t0 = numberOf(led[0])
        if (t0 !== undefined)
            showEffect(t0)
        var b = numberOf(led[1])
        if (b !== undefined && b >= 0 && b <= 63)
            setBrightnessPos(roundUp(b * 7 / 63))
        var s = numberOf(led[2])
        if (s !== undefined && !tongbuHeld())
            setSpeedPos(speedPosition(s, false))
        var d = numberOf(led[3])
        if (d !== undefined) {
            wheel.currentIndex = (Math.abs(d) % 2) + 1
            _eft_Ctrl.directLV = wheel.currentIndex
        }
        var c = numberOf(led[4])
        if (c !== undefined) {
            if (c >= 0 && c <= 7) {
                colorRaw = -1
                _eft_Ctrl.colorLV = c
                if (c < 7) {
                    var e = entryColor(c)
                    showPalette(e[0], e[1], e[2])
                }
            } else {
                colorRaw = c
            }
        }
    }

    // A lighting change reported by the keyboard.
    function tongbu(effect, brightness, speed) {
        if (tongbuHeld()) {
            mainIten.disableTongbu = mainIten.disableTongbu - 1
            return
        }
        var e = numberOf(effect)
        if (e !== undefined)
            showEffect(e)
        var b = numberOf(brightness)
        if (b !== undefined && b >= 0)
            setBrightnessPos(roundUp(b * 7 / 63))
        var s = numberOf(speed)
        if (s !== undefined)
            setSpeedPos(speedPosition(s, true))
        restartPreview()
    }

    // --- APPLY, ALL SAVE and RESET -------------------------------------------

    function effectToSend() {
        return effectIndex >= 0 ? effectIndex : readEffect
    }

    function send() {
        leaveFields()
        mainIten.disableTongbu = 2
        lastApplyTime = Date.now()
        view("ui_30H_SetColor", [colorTable.slice()])
        var effect = effectToSend()
        for (var i = 0; i < 5; ++i)
            view("ui_12H_SetUserPicture", [i, effect === 0x33 + i ? 0 : 255, completePicture(pictures[i])])
        view("ui_08H_SetLEDType", [effect, roundUp(_eft_Ctrl.brightnessLV * 63 / 7), _eft_Ctrl.speedLV,
                                   Math.max(_eft_Ctrl.directLV - 1, 0) % 2,
                                   colorRaw >= 0 ? colorRaw : _eft_Ctrl.colorLV, 0])
    }

    function apply() {
        if (!sendEnabled)
            return
        if (typeof mainIten.setProtectUI === "function")
            mainIten.setProtectUI(1600)
        send()
        restartPreview()
        controlMenu()
    }

    function resetValues() {
        setColorTable(defaultColors.slice())
        setPictures([zeroPicture(), zeroPicture(), zeroPicture(), zeroPicture(), zeroPicture()])
        var p = Number(mainIten.profile)
        var code = profileDefaults[(p >= 0 && p <= 3) ? p : 0]
        group = 1
        effectList.setCurIndex(code)
        readEffect = code
        _eft_Ctrl.effectIndex = code
        _eft_Ctrl.picture = pictureOfEffect()
        setSpeedPos(5)
        setBrightnessPos(7)
        wheel.currentIndex = 1
        _eft_Ctrl.directLV = 1
        colorRaw = -1
        _eft_Ctrl.colorLV = 5
        var c = entryColor(5)
        showPalette(c[0], c[1], c[2])
        _model.clearSelection()
        restartPreview()
    }

    function reset() {
        if (typeof mainIten.setProtectUI === "function")
            mainIten.setProtectUI(800)
        resetValues()
    }

    // --- the main page's calls ---------------------------------------------

    function playEffect(isOn) {
        _eft_Ctrl.playEffect(isOn)
    }

    function restartPreview() {
        if (_eft_Ctrl.playing)
            _eft_Ctrl.playEffect(true)
    }

    function controlMenu() {
        effectList.closeList()
        pictureList.closeList()
    }

    function translateStrings() {
        groupPainting.chkStr = uiText(6, "PAINTING")
        groupEffects.chkStr = uiText(7, "EFFECTS")
        for (var i = 0; i < effectModel.count; ++i)
            effectModel.setProperty(i, "textX", uiText(13 + i, effectModel.get(i).defaultText))
        for (var k = 0; k < pictureModel.count; ++k)
            pictureModel.setProperty(k, "textX", uiText(8 + k, pictureModel.get(k).defaultText))
    }

    Effect_Controler_Q3 {
        id: _eft_Ctrl
        preview: _model.preview
        colorTable: colorPage.defaultColors
    }

    Connections {
        target: typeof main_Q3 !== "undefined" ? main_Q3 : null
        ignoreUnknownSignals: true
        function onMsg_KB(isDown, usbCode) { _eft_Ctrl.detectKeyboard(isDown, usbCode) }
        function onBtnTotalResetClicked() { colorPage.resetValues() }
        function onBtnTotalApplyClicked() {
            if (colorPage.sendEnabled)
                colorPage.send()
        }
    }

    ListModel {
        id: effectModel
        ListElement { textX: "STATIC"; defaultText: "STATIC" }
        ListElement { textX: "BREATHING"; defaultText: "BREATHING" }
        ListElement { textX: "WAVE"; defaultText: "WAVE" }
        ListElement { textX: "INDUCTION DARKEN"; defaultText: "INDUCTION DARKEN" }
        ListElement { textX: "MARQUEE"; defaultText: "MARQUEE" }
        ListElement { textX: "RIPPLE"; defaultText: "RIPPLE" }
        ListElement { textX: "INDUCTION BRIGHTEN"; defaultText: "INDUCTION BRIGHTEN" }
        ListElement { textX: "NEON"; defaultText: "NEON" }
        ListElement { textX: "MARQUEE COLORFUL"; defaultText: "MARQUEE COLORFUL" }
        ListElement { textX: "RAINING"; defaultText: "RAINING" }
        ListElement { textX: "MARQUEE CIRCLE"; defaultText: "MARQUEE CIRCLE" }
        ListElement { textX: "SPOTLIGHT"; defaultText: "SPOTLIGHT" }
    }
    ListModel {
        id: pictureModel
        ListElement { textX: "USER DEFINE 1"; defaultText: "USER DEFINE 1" }
        ListElement { textX: "USER DEFINE 2"; defaultText: "USER DEFINE 2" }
        ListElement { textX: "USER DEFINE 3"; defaultText: "USER DEFINE 3" }
        ListElement { textX: "USER DEFINE 4"; defaultText: "USER DEFINE 4" }
        ListElement { textX: "USER DEFINE 5"; defaultText: "USER DEFINE 5" }
    }

    Image {
        id: background
        source: mainIten.sourceFnColorBackground
    }

    Model_Color_Q3 {
        id: _model
        objectName: "colorModel"
        x: 43
        y: 97
        paintingEnabled: colorPage.group === 0 && colorPage.isPicture(colorPage.effectIndex)
        paintColor: Qt.rgba(colorPage.paletteR / 255, colorPage.paletteG / 255, colorPage.paletteB / 255, 1)
        onKeysPainted: colorPage.paintKeys(matrices)
    }

    // The effect choice, RESET and APPLY.
    Item {
        id: menu
        objectName: "colorMenu"
        x: 30
        y: 15
        width: 740
        height: 30
        // The unrolled lists hang over the keyboard.
        z: 20

        RadioButton {
            id: groupPainting
            objectName: "groupPainting"
            y: 4
            index: 0
            chkStr: "PAINTING"
            isSelect: colorPage.group === 0
            onClicked: colorPage.chooseGroup(0)
        }
        RadioButton {
            id: groupEffects
            objectName: "groupEffects"
            x: 110
            y: 4
            index: 1
            chkStr: "EFFECTS"
            isSelect: colorPage.group === 1
            onClicked: colorPage.chooseGroup(1)
        }
        DropdownList {
            id: pictureList
            objectName: "pictureList"
            x: 210
            width: 170
            visible: colorPage.group === 0
            mdItems: pictureModel
            Accessible.name: currentText !== "" ? currentText : "User picture"
            onListElementClicked: colorPage.chooseEffect(0x33 + index)
        }
        DropdownList {
            id: effectList
            objectName: "effectList"
            x: 210
            width: 170
            visible: colorPage.group === 1
            mdItems: effectModel
            maxVisibleItems: 12
            Accessible.name: currentText !== "" ? currentText : "Effect"
            onListElementClicked: colorPage.chooseEffect(index)
        }

        Button_2state {
            id: resetButton
            objectName: "colorResetButton"
            x: 580
            source0: mainIten.sourceReset0
            source1: mainIten.sourceReset1
            Accessible.name: resetLabel.text
            onClicked: colorPage.reset()
            Text {
                id: resetLabel
                anchors.centerIn: parent
                text: colorPage.uiText(77, "RESET")
                font.family: mainIten.globalSetting_fontFamily
                font.pixelSize: mainIten.globalSetting_size
                color: mainIten.globalSetting_color_enable
            }
        }
        Button_2state {
            id: applyButton
            objectName: "colorApplyButton"
            x: resetButton.x + resetButton.width + 9
            enabled: colorPage.sendEnabled
            source0: mainIten.sourceApply0
            source1: mainIten.sourceApply1
            Accessible.name: applyLabel.text
            onClicked: colorPage.apply()
            Text {
                id: applyLabel
                anchors.centerIn: parent
                text: colorPage.uiText(107, "APPLY")
                font.family: mainIten.globalSetting_fontFamily
                font.pixelSize: mainIten.globalSetting_size
                color: applyButton.enabled ? mainIten.globalSetting_color_enable : mainIten.globalSetting_color_disable
            }
        }
    }

    component Caption: Text {
        width: 80
        height: 22
        verticalAlignment: Text.AlignVCenter
        font.family: mainIten.globalSetting_fontFamily
        font.pixelSize: mainIten.globalSetting_size
        color: enabled ? mainIten.globalSetting_color : mainIten.globalSetting_color_disable
    }

    // Speed, brightness and direction.
    Caption {
        objectName: "speedLabel"
        x: 40
        y: 352
        enabled: speedSlider.enabled
        text: colorPage.uiText(3, "SPEED")
    }
    Slider {
        id: speedSlider
        objectName: "speedSlider"
        x: 112
        y: 352
        enabled: colorPage.speedEnabled
        Accessible.name: colorPage.uiText(3, "SPEED") + " " + currentIndex
        onSliderClicked: colorPage.speedMoved(index)
    }
    Caption {
        objectName: "brightnessLabel"
        x: 290
        y: 352
        width: 90
        text: colorPage.uiText(4, "BRIGHTNESS")
    }
    Slider {
        id: brightnessSlider
        objectName: "brightnessSlider"
        x: 380
        y: 352
        currentIndex: 7
        Accessible.name: colorPage.uiText(4, "BRIGHTNESS") + " " + currentIndex
        onSliderClicked: colorPage.brightnessMoved(index)
    }
    Caption {
        objectName: "directionLabel"
        x: 555
        y: 352
        enabled: wheel.enabled
        text: colorPage.uiText(5, "DIRECTION")
    }
    SteeringWheel {
        id: wheel
        objectName: "directionWheel"
        x: 555
        y: 384
        enabled: colorPage.directionEnabled
        Accessible.name: colorPage.uiText(5, "DIRECTION") + " " + (currentIndex === 2 ? "◄" : "►")
        onWheelClicked: colorPage.directionChosen(index)
    }

    // The colour table with LOOP, the palette strip and the R/G/B fields.
    Row {
        id: colorTableRow
        objectName: "colorTable"
        x: 40
        y: 392
        spacing: 2
        enabled: colorPage.colorEnabled
        opacity: enabled ? 1.0 : 0.4

        Accessible.role: Accessible.List
        Accessible.name: "Colour table"

        Repeater {
            model: 7
            delegate: Item {
                id: entry
                objectName: "colorEntry" + index
                width: 22
                height: 22
                readonly property bool isCurrent: _eft_Ctrl.colorLV === index && colorPage.colorRaw < 0
                readonly property var rgb: colorPage.entryColor(index)

                activeFocusOnTab: true
                Accessible.role: Accessible.RadioButton
                Accessible.name: "Colour " + (index + 1)
                Accessible.checkable: true
                Accessible.checked: isCurrent
                Accessible.focusable: true
                Accessible.onPressAction: entry.choose()
                Keys.onSpacePressed: entry.choose()

                function choose() {
                    if (!colorTableRow.enabled)
                        return
                    if (typeof ui_View !== "undefined")
                        ui_View.playMedia_Index(4)
                    colorPage.chooseColor(index)
                }

                Rectangle {
                    anchors.centerIn: parent
                    width: 14
                    height: 14
                    radius: 7
                    color: Qt.rgba(entry.rgb[0] / 255, entry.rgb[1] / 255, entry.rgb[2] / 255, 1)
                }
                Image {
                    anchors.fill: parent
                    visible: entry.isCurrent || entry.activeFocus
                    source: mainIten.sourcePaletteIndex
                }
                MouseArea {
                    anchors.fill: parent
                    onClicked: entry.choose()
                }
            }
        }
        RadioButton {
            id: loopButton
            objectName: "colorLoop"
            anchors.verticalCenter: parent.verticalCenter
            index: 7
            chkStr: colorPage.uiText(2, "LOOP")
            isSelect: _eft_Ctrl.colorLV === 7 && colorPage.colorRaw < 0
            onClicked: colorPage.chooseColor(7)
        }
    }

    Image {
        id: paletteStrip
        objectName: "paletteStrip"
        x: 290
        y: 395
        width: 96
        height: 16
        source: mainIten.sourcePalette
        enabled: colorPage.colorEnabled
        opacity: enabled ? 1.0 : 0.4

        Accessible.role: Accessible.Slider
        Accessible.name: "Palette"
        Accessible.focusable: true

        MouseArea {
            anchors.fill: parent
            onPressed: {
                colorPage.leaveFields()
                colorPage.pickOnStrip(mouse.x)
            }
            onPositionChanged: {
                if (pressed)
                    colorPage.pickOnStrip(Math.min(Math.max(mouse.x, 0), paletteStrip.width - 1))
            }
        }
    }

    // One R, G or B field: up to three digits, 0 to 255, taken on Enter or
    // when the focus leaves it.
    component ChannelField: Item {
        id: field
        property alias text: input.text
        property string letter
        readonly property bool editing: input.activeFocus
        width: 50
        height: 20
        opacity: enabled ? 1.0 : 0.4
        Accessible.role: Accessible.Grouping
        Accessible.name: letter

        Text {
            width: 12
            height: parent.height
            verticalAlignment: Text.AlignVCenter
            font.family: mainIten.globalSetting_fontFamily
            font.pixelSize: mainIten.globalSetting_size
            color: mainIten.globalSetting_color
            text: field.letter
        }
        Image {
            x: 12
            width: 36
            height: 20
            source: mainIten.sourceInputValue
        }
        TextInput {
            id: input
            objectName: field.objectName + "_input"
            x: 14
            width: 32
            height: 20
            verticalAlignment: TextInput.AlignVCenter
            horizontalAlignment: TextInput.AlignHCenter
            maximumLength: 3
            validator: RegularExpressionValidator { regularExpression: /[01]?[0-9]?[0-9]|2[0-4][0-9]|25[0-5]/ }
            selectByMouse: true
            activeFocusOnTab: true
            font.family: mainIten.globalSetting_fontFamily
            font.pixelSize: mainIten.globalSetting_size
            color: mainIten.globalSetting_color_enable
            Accessible.role: Accessible.EditableText
            Accessible.name: field.letter
            Accessible.editable: true
            Accessible.focusable: true
            onEditingFinished: colorPage.commitFields()
            onActiveFocusChanged: {
                if (activeFocus)
                    selectAll()
                else
                    colorPage.commitFields()
            }
        }
    }

    ChannelField {
        id: redField
        objectName: "redField"
        x: 400
        y: 393
        letter: "R"
        enabled: colorPage.colorEnabled
        text: "255"
    }
    ChannelField {
        id: greenField
        objectName: "greenField"
        x: 452
        y: 393
        letter: "G"
        enabled: colorPage.colorEnabled
        text: "0"
    }
    ChannelField {
        id: blueField
        objectName: "blueField"
        x: 504
        y: 393
        letter: "B"
        enabled: colorPage.colorEnabled
        text: "0"
    }
}
