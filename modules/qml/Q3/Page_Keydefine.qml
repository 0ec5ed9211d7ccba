// The key assignment page: the keyboard drawing, the assignment menu (kind,
// then the KEYBOARD field, the media list or the macro list), RESET, APPLY,
// the profile keys M1..M4 and the gaming-mode switch. Key codes live in the
// model's key items until the next initUI re-reads the profile.
import QtQuick 2.15
import Gearpanel 1.0
import "../common"

Item {
    id: keyPage
    width: background.implicitWidth > 0 ? background.implicitWidth : 792
    height: background.implicitHeight > 0 ? background.implicitHeight : 442

    readonly property alias keyboardModel: keyboardModel
    readonly property alias kindList: kindList
    readonly property alias mediaList: mediaList
    readonly property alias macroList: macroList
    readonly property alias keyboardField: keyboardField
    readonly property alias gamingMode: gamingModeCheckbox
    // The macro file names of the active profile, without ".bin".
    property var macroNames: []
    readonly property var mediaCodes: [0x30B5, 0x30B6, 0x30B7, 0x30CD, 0x30E2, 0x30E9, 0x30EA, 0x3183, 0x318A,
        0x3192, 0x3194, 0x3221, 0x3223, 0x3224, 0x3225, 0x3226, 0x3227, 0x322A]
    readonly property var mediaNames: ["NEXT TRACK", "PREVIOUS TRACK", "STOP", "PLAY / PAUSE", "MUTE", "VOLUME UP",
        "VOLUME DOWN", "MEDIA SELECT", "MAIL", "CALCULATOR", "MY COMPUTER", "WWW SEARCH", "WWW HOME", "WWW BACK",
        "WWW FORWARD", "WWW STOP", "WWW REFRESH", "WWW FAVORITES"]
    readonly property bool dragOverField: keyboardModel.dragingKey !== null && overField(keyboardModel.dragPos)

    // Calls the view's slot when the view has it (tests and stand-ins may
    // offer only some), else gives undefined.
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

    function currentKey() {
        var keys = keyboardModel.getKey
        var m = keyboardModel.curKeyMatrix
        return (m >= 0 && m < keys.length) ? keys[m] : null
    }

    function setCurrentCode(code) {
        var key = currentKey()
        if (key && key.matrix >= 0)
            key.keyCode = code
    }

    function initUI(isFirst, _HWDef) {
        if (isFirst)
            keyboardModel.build(_HWDef)
        refreshMacroList()
        var keys = keyboardModel.getKey
        for (var i = 0; i < keys.length; ++i)
            keys[i].keyCode = UiMath.keyCodeFromBytes(view("getKeydefine", [i]))
        readGamingMode()
        keyCodeToUI(currentKey() ? currentKey().keyCode : 0)
    }

    function readGamingMode() {
        var mode = Number(view("ui_82H_GetKeyboardMode"))
        gamingModeCheckbox.isSelect = mode === 1
    }

    function setGamingMode(on) {
        if (mainIten.keyboardConnected === false)
            return
        view("ui_02H_SetKeyboardMode", [on ? 1 : 0])
        gamingModeCheckbox.isSelect = on
    }

    function translateStrings() {
        var kinds = [46, 48, 50]
        var kindTexts = ["KEYBOARD", "MEDIA", "MACRO"]
        for (var k = 0; k < kinds.length; ++k)
            kindModel.setProperty(k, "textX", uiText(kinds[k], kindTexts[k]))
        for (var m = 0; m < mediaNames.length; ++m)
            mediaModel.setProperty(m, "textX", uiText(56 + m, mediaNames[m]))
    }

    function controlMenu() {
        kindList.closeList()
        mediaList.closeList()
        macroList.closeList()
    }

    function refreshMacroList() {
        var names = view("getMacroIniNames")
        var list = []
        if (names) {
            for (var i = 0; i < names.length; ++i) {
                var n = String(names[i])
                list.push(n.length > 4 && n.slice(-4) === ".bin" ? n.slice(0, -4) : n)
            }
        }
        macroNames = list
        // Replaced row by row so the list keeps its chosen name where it can.
        while (macroModel.count > list.length)
            macroModel.remove(macroModel.count - 1)
        for (var r = 0; r < list.length; ++r) {
            if (r < macroModel.count)
                macroModel.setProperty(r, "textX", list[r])
            else
                macroModel.append({ "textX": list[r] })
        }
    }

    // The place [index, repeat] a macro holds, or undefined when unreadable.
    function macroConfig(name) {
        var config = view("loadMacroIniConfig", [name])
        if (!config || config.length < 2)
            return undefined
        var index = Number(config[0])
        var repeat = Number(config[1])
        if (!isFinite(index) || !isFinite(repeat))
            return undefined
        return [index, repeat]
    }

    function keyCodeToUI(code) {
        var kind = UiMath.keyCodeKind(code)
        keyboardField.setKeycodeUSB(-1)
        mediaList.setCurIndex(-1)
        macroList.setCurIndex(-1)
        if (kind === 0) {
            keyboardField.setKeycodeUSB(code & 0xFF)
        } else if (kind === 1) {
            mediaList.setCurIndex(mediaCodes.indexOf(code))
        } else if (kind === 2) {
            refreshMacroList()
            for (var i = 0; i < macroNames.length; ++i) {
                var config = macroConfig(macroNames[i])
                if (config && config[0] === (code & 0xFF)) {
                    macroList.setCurIndex(i)
                    break
                }
            }
        }
        kindList.setCurIndex(kind)
    }

    function chooseKind(index) {
        // A new kind starts empty; the key keeps its code until something is
        // assigned.
        keyboardField.setKeycodeUSB(-1)
        mediaList.setCurIndex(-1)
        macroList.setCurIndex(-1)
        kindList.setCurIndex(index)
    }

    function chooseMedia(index) {
        if (index >= 0 && index < mediaCodes.length)
            setCurrentCode(mediaCodes[index])
    }

    function chooseMacro(index) {
        // Binding sends the macro: nothing to bind it on without a keyboard.
        if (index < 0 || index >= macroNames.length || mainIten.keyboardConnected === false)
            return
        var name = macroNames[index]
        var config = macroConfig(name)
        if (config === undefined)
            return
        view("setMacroIniConfig", [name, config])
        view("ui_10H_SetMacroKey", [config[0], name])
        // An unbound macro gets its place while it is sent: the code takes
        // the place stored then, and no code at all when none was free.
        var bound = macroConfig(name)
        if (bound === undefined || bound[0] < 0 || bound[0] >= MacroMath.macroPlaces) {
            keyCodeToUI(currentKey() ? currentKey().keyCode : 0)
            return
        }
        setCurrentCode(UiMath.macroKeyCode(bound[0], bound[1]))
        macroList.setCurIndex(index)
    }

    function clearKey() {
        setCurrentCode(0)
    }

    function overField(pos) {
        if (!keyboardField.visible)
            return false
        var p = keyboardField.mapFromItem(keyPage, pos.x, pos.y)
        return p.x >= 0 && p.y >= 0 && p.x < keyboardField.width && p.y < keyboardField.height
    }

    function dropKey(key, pos) {
        if (!key || !overField(pos) || !UiMath.isStandardKeyCode(key.keyCode_Default))
            return
        setCurrentCode(key.keyCode_Default)
        keyboardField.setKeycodeUSB(key.keyCode_Default)
    }

    function resetKey() {
        var key = currentKey()
        if (key && key.matrix >= 0)
            key.keyCode = key.keyCode_Default
        controlMenu()
        keyCodeToUI(key ? key.keyCode : 0)
    }

    function resetAll() {
        var keys = keyboardModel.getKey
        for (var i = 0; i < keys.length; ++i)
            keys[i].keyCode = keys[i].keyCode_Default
        keyCodeToUI(currentKey() ? currentKey().keyCode : 0)
    }

    function applyKeys() {
        if (mainIten.keyboardConnected === false)
            return
        var keys = keyboardModel.getKey
        var codes = []
        for (var i = 0; i < keys.length; ++i)
            codes.push(keys[i].keyCode)
        view("ui_0C0DH_SetKeyMatrix", [UiMath.keyMatrixBytes(codes)])
    }

    function apply() {
        if (mainIten.keyboardConnected === false)
            return
        if (typeof mainIten.setProtectUI === "function")
            mainIten.setProtectUI(800)
        applyKeys()
    }

    function chooseProfile(index) {
        if (index === mainIten.profile)
            return
        if (typeof main_Q3 !== "undefined" && main_Q3.pfPage)
            main_Q3.pfPage.choose(index)
    }

    Connections {
        target: typeof main_Q3 !== "undefined" ? main_Q3 : null
        ignoreUnknownSignals: true
        function onBtnTotalResetClicked() { keyPage.resetAll() }
        function onBtnTotalApplyClicked() { keyPage.applyKeys() }
    }

    ListModel {
        id: kindModel
        ListElement { textX: "KEYBOARD" }
        ListElement { textX: "MEDIA" }
        ListElement { textX: "MACRO" }
    }
    ListModel {
        id: mediaModel
        Component.onCompleted: {
            for (var i = 0; i < keyPage.mediaNames.length; ++i)
                append({ "textX": keyPage.mediaNames[i], "code": keyPage.mediaCodes[i] })
        }
    }
    ListModel {
        id: macroModel
    }

    Image {
        id: background
        source: mainIten.sourceFnKeydefineBackground
    }

    Model_KeyDefine_Q3 {
        id: keyboardModel
        objectName: "keyboardModel"
        x: 43
        y: 97
        dragSpace: keyPage
        onKeySelected: keyPage.keyCodeToUI(keyPage.currentKey().keyCode)
        onDragKey: keyPage.dropKey(key, pos)
    }

    Repeater {
        model: [Qt.point(23, 98), Qt.point(54, 98), Qt.point(23, 137), Qt.point(54, 137)]
        M_Key {
            objectName: "mKey" + (index + 1)
            x: modelData.x
            y: modelData.y
            number: index + 1
            active: mainIten.profile === index
            onChosen: keyPage.chooseProfile(number - 1)
        }
    }

    Item {
        id: menu
        objectName: "assignMenu"
        x: 146
        y: 15
        width: 480
        height: 30
        // The unrolled lists hang over the keyboard.
        z: 20

        DropdownList {
            id: kindList
            objectName: "kindList"
            mdItems: kindModel
            Accessible.name: currentText !== "" ? currentText : "Kind of assignment"
            onListElementClicked: keyPage.chooseKind(index)
            onListOpened: { mediaList.closeList(); macroList.closeList() }
        }

        Item {
            id: kindField
            x: kindList.width + 20
            width: 151
            height: 28

            KeyInput {
                id: keyboardField
                objectName: "keyboardField"
                visible: kindList.defaultIndex === 0
                onClearKey: keyPage.clearKey()
            }
            DropdownList {
                id: mediaList
                objectName: "mediaList"
                width: 151
                visible: kindList.defaultIndex === 1
                mdItems: mediaModel
                Accessible.name: currentText !== "" ? currentText : "Media function"
                onListElementClicked: keyPage.chooseMedia(index)
                onListOpened: { kindList.closeList(); macroList.closeList() }
            }
            FileListButton {
                id: macroList
                objectName: "macroList"
                width: 151
                visible: kindList.defaultIndex === 2
                enabled: mainIten.keyboardConnected !== false
                mdItems: macroModel
                Accessible.name: currentText !== "" ? currentText : "Macro"
                onRequestToUpdateList: keyPage.refreshMacroList()
                onListElementClicked: keyPage.chooseMacro(index)
                onListOpened: { kindList.closeList(); mediaList.closeList() }
            }
        }

        Button_2state {
            id: resetButton
            objectName: "keyResetButton"
            x: 324
            source0: mainIten.sourceReset0
            source1: mainIten.sourceReset1
            Accessible.name: resetLabel.text
            onClicked: keyPage.resetKey()
            Text {
                id: resetLabel
                anchors.centerIn: parent
                text: keyPage.uiText(77, "RESET")
                font.family: mainIten.globalSetting_fontFamily
                font.pixelSize: mainIten.globalSetting_size
                color: mainIten.globalSetting_color_enable
            }
        }
        Button_2state {
            id: applyButton
            objectName: "keyApplyButton"
            x: resetButton.x + resetButton.width + 9
            source0: mainIten.sourceApply0
            source1: mainIten.sourceApply1
            enabled: mainIten.keyboardConnected !== false
            Accessible.name: applyLabel.text
            onClicked: keyPage.apply()
            Text {
                id: applyLabel
                anchors.centerIn: parent
                text: keyPage.uiText(107, "APPLY")
                font.family: mainIten.globalSetting_fontFamily
                font.pixelSize: mainIten.globalSetting_size
                color: mainIten.globalSetting_color_enable
            }
        }
        Checkbox {
            id: gamingModeCheckbox
            objectName: "gamingModeCheckbox"
            x: applyButton.x + applyButton.width + 20
            y: (applyButton.height - height) / 2
            chkStr: keyPage.uiText(79, "GAMING MODE")
            enabled: mainIten.keyboardConnected !== false
            onClicked: keyPage.setGamingMode(select)
        }
    }

    // The copy of a dragged key that follows the pointer.
    Image {
        id: dragCopy
        objectName: "dragCopy"
        z: 30
        visible: keyboardModel.dragingKey !== null && keyboardModel.dragingKey.keyType > 0
        source: visible ? keyboardModel.dragingKey.skinBase + "-0.png" : ""
        x: keyboardModel.dragPos.x - width / 2
        y: keyboardModel.dragPos.y - height / 2
        opacity: keyPage.dragOverField ? 0.5 : 1.0
        Text {
            anchors.centerIn: parent
            text: dragCopy.visible ? keyboardModel.dragingKey.shownName : ""
            font.family: mainIten.globalSetting_fontFamily
            font.pixelSize: 9
            color: mainIten.globalSetting_color_enable
        }
    }
}
