// The root document: draws the whole frameless 1000 by 600 window. Native
// code calls initUI, run, setProtectUI, zzzTovrin, detectKeyboard and
// detectMouse by name; the context properties ui_View, ui_Ctl and hid are set
// only after this document has loaded, so no binding below may use them.
import QtQuick 2.15
import "./basic"
import "./common"
import "./Q3"
import "./basic/keyLabels.js" as KeyLabels
import "./common/SkinLook.js" as SkinLook

Item {
    id: mainIten
    width: 1000
    height: 600

    // The shared look, as the global settings page sets it.
    property int globalSetting_size: pageGlobalsetting._Size
    property color globalSetting_color: pageGlobalsetting._Color
    property color globalSetting_color_enable: globalSetting_color
    property color globalSetting_color_disable: "#FFAAAAAA"
    property int animation_speed: pageGlobalsetting._AnimationSpeed
    property var globalSetting_stringList: pageGlobalsetting._StringList
    property string globalSetting_fontFamily: pageGlobalsetting._FontFamily
    property string globalSetting_url: pageGlobalsetting._Url
    // The language menu's index; the settings page sets it.
    property int lang: 0
    // The keyboard's layout: 0 English, 1 Spanish.
    property int layout: 0
    // The active profile 0 to 3.
    property int profile: 0
    // False while the keyboard's firmware needs the update button.
    property bool isShowUpdateBtn: true
    // False while no keyboard is connected: controls that send to it are disabled.
    property bool keyboardConnected: true
    property int skin_No: pageGlobalsetting.skin_No
    property bool isCustomBackground: pageGlobalsetting.isCustomBackground
    property url sourceCustomBackground: ""
    // The lighting page ignores this many device-reported lighting changes
    // after its own apply.
    property int disableTongbu: 0

    // English key labels to those of the Spanish keyboard, and back.
    readonly property var enTosp: KeyLabels.enTosp
    readonly property var sptoen: KeyLabels.sptoen

    // True while the global settings panel is open: everything but the top
    // menu is dimmed and out of reach.
    readonly property bool globalSettingOpen: menuUp.isGlobalSettingSelect

    // Skin images are read beside the program, not from the resources.
    readonly property string skinFolder: "file:modules/img/skin" + skin_No + "/"
    function skinImage(folder, file) {
        return skinFolder + (folder.length > 0 ? folder + "/" : "") + file
    }

    property url sourceBackground: skinImage("", "background.png")
    property url sourceCmdBg: skinImage("list_up", "cmdBg.png")
    property url sourceSetting_0: skinImage("list_up", "applicationSetting_0.png")
    property url sourceSetting_1: skinImage("list_up", "applicationSetting_1.png")
    property url sourceMinimize_0: skinImage("list_up", "applicationMinimize_0.png")
    property url sourceMinimize_1: skinImage("list_up", "applicationMinimize_1.png")
    property url sourceClose_0: skinImage("list_up", "applicationClose_0.png")
    property url sourceClose_1: skinImage("list_up", "applicationClose_1.png")
    property url sourceListUpContainer: skinImage("list_up", "listUpContainer.png")
    property url sourceListDownButtonBg: skinImage("list_dn", "listDownButtonBg.png")
    property url sourceListDnContainer: skinImage("list_dn", "listDnContainer.png")
    property url sourceListPfContainer: skinImage("list_pf", "listPfContainer.png")
    property url sourceFW0: skinImage("list_pf", "profileFW_0.png")
    property url sourceFW1: skinImage("list_pf", "profileFW_1.png")
    property url sourceListFnBtn_0: skinImage("list_fn", "listFnBtn_0.png")
    property url sourceListFnBtn_1: skinImage("list_fn", "listFnBtn_1.png")
    property url sourceGlobalsettingBackground: skinImage("list_center", "globalsettingBackground.png")
    property url sourceFnColorBackground: skinImage("list_center", "fnColorBackground.png")
    property url sourceFnKeydefineBackground: skinImage("list_center", "fnKeydefineBackground.png")
    property url sourceFnMacroBackground: skinImage("list_center", "fnMacroBackground.png")
    property url sourceFnCommonBackground: skinImage("list_center", "fnCommonBackground.png")
    property url sourceFrameBackground: skinImage("frame", "frameBackground.png")
    property url sourceDecoration1: skinImage("frame", "decoration1.png")
    property url sourceDecoration2: skinImage("frame", "decoration2.png")
    property url sourceModel_Q4_Color: skinImage("model_ms", "model_Q4_Color.png")
    property url sourceModel_Q4_KeyDefine: skinImage("model_ms", "model_Q4_KeyDefine.png")
    property url sourceSlider: skinImage("common", "slider_BASE.png")
    property url sourceKeyboardLogo: skinImage("common", "keyboardLogo.png")
    property url sourceSliderBG: skinImage("common", "sliderBG.png")
    property url sourceSliderBG8: skinImage("common", "sliderBG_8.png")
    property url sourceLine: skinImage("common", "draw_line.png")
    property url sourceResetBtn: skinImage("common", "resetBtn.png")
    property url sourceSteelBG: skinImage("common", "steelBG.png")
    property url sourceSettingBtn: skinImage("common", "settingBtn.png")
    property url sourceFilelist: skinImage("common", "filelist_BASE.png")
    property url sourceInputValue: skinImage("common", "draw_inputValue.png")
    property url sourcePaletteIndex: skinImage("common", "draw_paletteIndex.png")
    property url sourceCHK0: skinImage("common", "checkbox_0.png")
    property url sourceCHK1: skinImage("common", "checkbox_1.png")
    property url sourcePalette: skinImage("common", "draw_palette.png")
    property url sourceReset0: skinImage("common", "reset_0.png")
    property url sourceReset1: skinImage("common", "reset_1.png")
    property url sourceApply0: skinImage("common", "apply_0.png")
    property url sourceApply1: skinImage("common", "apply_1.png")
    property url sourceFram2btn: skinImage("common", "fram_2btn.png")
    property url sourceAdd0: skinImage("common", "add_0.png")
    property url sourceAdd1: skinImage("common", "add_1.png")
    property url sourceDelete0: skinImage("common", "delete_0.png")
    property url sourceDelete1: skinImage("common", "delete_1.png")
    property url sourceRecord0: skinImage("common", "record_0.png")
    property url sourceRecord1: skinImage("common", "record_1.png")
    property url sourceStop0: skinImage("common", "stop_0.png")
    property url sourceStop1: skinImage("common", "stop_1.png")
    property url sourceSolidDelete0: skinImage("common", "solid-delete_0.png")
    property url sourceSolidDelete1: skinImage("common", "solid-delete_1.png")
    property url sourceSolidCut0: skinImage("common", "solid-cut_0.png")
    property url sourceSolidCut1: skinImage("common", "solid-cut_1.png")
    property url sourceSolidPaste0: skinImage("common", "solid-paste_0.png")
    property url sourceSolidPaste1: skinImage("common", "solid-paste_1.png")
    property url sourceSolidCopy0: skinImage("common", "solid-copy_0.png")
    property url sourceSolidCopy1: skinImage("common", "solid-copy_1.png")
    property url sourceSliderFiller0: skinImage("common", "slider_FILLER_0.png")
    property url sourceSliderFiller1: skinImage("common", "slider_FILLER_1.png")
    property url sourceBtnGroup_4_BASE: skinImage("common", "btnGroup_4_BASE.png")
    property url sourceBtnGroup_8_BASE: skinImage("common", "btnGroup_8_BASE.png")
    property url sourceBtnGroup_FILLER_0: skinImage("common", "btnGroup_FILLER_0.png")
    property url sourceBtnGroup_FILLER_1: skinImage("common", "btnGroup_FILLER_1.png")
    property url sourceBtnGroup2_FILLER_0: skinImage("common", "btnGroup2_FILLER_0.png")
    property url sourceBtnGroup2_FILLER_1: skinImage("common", "btnGroup2_FILLER_1.png")
    property url sourceSlider_11_BASE: skinImage("common", "slider_11_BASE.png")
    property url sourceSlider_11_FILLER_0: skinImage("common", "slider_11_FILLER_0.png")
    property url sourceSlider_11_FILLER_1: skinImage("common", "slider_11_FILLER_1.png")
    property url sourceBtnFileListFrame: skinImage("common", "btnFileListFrame.png")
    property url sourceBtnFrame: skinImage("common", "btnFrame.png")

    // Every key press and release seen anywhere on the desktop.
    signal msg_KB(bool isDown, int usbCode)

    LoggingCategory {
        id: log
        name: "gearpanel.qml"
    }

    // Calls object[name](args...) when the object has such a function, so
    // a page that is not built yet is simply skipped.
    function callIfPresent(object, name, args) {
        if (!object || typeof object[name] !== "function")
            return undefined
        return object[name].apply(object, args || [])
    }

    // An integer from what the view hands over, or `fallback`.
    function toInt(value, fallback) {
        var n = Number(value)
        return (isFinite(n) && value !== null && value !== "") ? Math.floor(n) : fallback
    }

    // Queued by the view once the event loop runs. The order matters: the
    // language texts must be there before the pages build.
    function initUI() {
        console.debug(log, "initUI")
        isShowUpdateBtn = !!ui_View.ui_80H_GetFWVersion()
        layout = toInt(ui_View.ui_80H_GetHWMode(), 0)
        callIfPresent(pageGlobalsetting, "initUI", [])
        main_Q3.initUI()
        var lighting = ui_View.ui_88H_GetLEDTypeX()
        if (lighting && lighting.length >= 3)
            callIfPresent(main_Q3.colorPage, "tongbu", [toInt(lighting[0], 0), toInt(lighting[1], 0),
                                                        toInt(lighting[2], 0)])
    }

    function run() {
        console.debug(log, "run")
    }

    // The keyboard went away: the window says so, and the controls that send
    // to it wait (they bind to keyboardConnected).
    function keyboardRemoved() {
        console.debug(log, "keyboardRemoved")
        keyboardConnected = false
    }

    // A keyboard came (back): what the window shows of it is read again,
    // then the sending controls return.
    function keyboardArrived() {
        console.debug(log, "keyboardArrived")
        isShowUpdateBtn = !!ui_View.ui_80H_GetFWVersion()
        layout = toInt(ui_View.ui_80H_GetHWMode(), 0)
        main_Q3.initUI()
        var lighting = ui_View.ui_88H_GetLEDTypeX()
        if (lighting && lighting.length >= 3)
            callIfPresent(main_Q3.colorPage, "tongbu", [toInt(lighting[0], 0), toInt(lighting[1], 0),
                                                        toInt(lighting[2], 0)])
        keyboardConnected = true
    }

    // Locks the window for `interval` milliseconds behind the busy indicator.
    function setProtectUI(interval) {
        busyIndicator.setBusy(true)
        if (typeof ui_View !== "undefined")
            ui_View.setEnabled(false)
        protectTimer.interval = Math.max(0, toInt(interval, 0))
        protectTimer.restart()
    }

    // The keyboard reported a change made at the keyboard itself.
    function zzzTovrin(profileNo, effect, brightness, speed) {
        console.debug(log, "zzzTovrin", profileNo, effect, brightness, speed)
        main_Q3.zzzTovrin(profileNo)
        callIfPresent(main_Q3.colorPage, "tongbu", [effect, brightness, speed])
    }

    function detectKeyboard(isDown, usbCode) {
        msg_KB(isDown, usbCode)
    }

    // The window went to the tray: nothing typed into other programs is
    // recorded meanwhile, and the lighting preview, which nobody sees,
    // stops until the window comes back.
    function windowHidden() {
        callIfPresent(main_Q3.macroPage, "windowHidden", [])
        if (main_Q3.shownPage === 2)
            callIfPresent(main_Q3.colorPage, "playEffect", [false])
    }

    function windowShown() {
        if (main_Q3.shownPage === 2)
            callIfPresent(main_Q3.colorPage, "playEffect", [true])
    }

    function detectMouse(isDown, darvCode, x, y) {
    }

    // Closes every open pop-up menu.
    function controlMenu() {
        main_Q3.controlMenu()
    }

    // The skin changed: images that are not bound to the skin reload.
    function setSkin() {
        callIfPresent(menuDown, "setSkin", [])
        main_Q3.setSkin()
    }

    // The language changed: texts that are not bound to the text list are
    // set again.
    function translateStrings(code) {
        callIfPresent(pageGlobalsetting, "translateStrings", [])
        main_Q3.translateStrings(code)
    }

    function changeLang(lang) {
        console.debug(log, "changeLang", lang)
    }

    // The settings panel slides in from the left edge of its frame and out
    // again; a slide still running ends at once before the other starts.
    function showGlobalSetting() {
        if (panelHide.running)
            panelHide.complete()
        settingsPanel.visible = true
        panelShow.restart()
    }
    function hideGlobalSetting() {
        if (panelShow.running)
            panelShow.complete()
        if (!settingsPanel.visible)
            return
        panelHide.restart()
    }

    Timer {
        id: protectTimer
        objectName: "protectTimer"
        interval: 1000
        repeat: false
        onTriggered: {
            if (typeof ui_View !== "undefined")
                ui_View.setEnabled(true)
            busyIndicator.setBusy(false)
        }
    }

    // Dragging anywhere on an empty part of the window moves it. A screen
    // reader has nothing to press here: the window manager moves windows.
    MouseArea {
        id: dragArea
        objectName: "dragArea"
        anchors.fill: parent
        Accessible.ignored: true
        property point pressPos
        onPressed: {
            pressPos = Qt.point(mouse.x, mouse.y)
            mainIten.controlMenu()
            mainIten.callIfPresent(main_Q3.macroPage, "lostFocus", [])
        }
        onPositionChanged: {
            if (!pressed || typeof ui_Ctl === "undefined")
                return
            ui_Ctl.onXChanged(mouse.x - pressPos.x)
            ui_Ctl.onYChanged(mouse.y - pressPos.y)
        }
    }

    Environment {
        id: environment
        source: mainIten.sourceBackground
    }

    Main_Q3 {
        id: main_Q3
        dimmed: mainIten.globalSettingOpen
    }

    Menu_Down {
        id: menuDown
        objectName: "menuDown"
        anchors.bottom: parent.bottom
        width: parent.width
        height: 49
        enabled: !mainIten.globalSettingOpen
        opacity: mainIten.globalSettingOpen ? 0.2 : 1.0
        onBtnTotalResetClicked: {
            main_Q3.totalReset()
            // Back to the language that matches the keyboard's key caps.
            mainIten.callIfPresent(pageGlobalsetting, "setLanguage", [mainIten.layout])
            mainIten.lang = mainIten.layout
        }
        onBtntextgisned: main_Q3.btntextgisned()
        onBtnTotalApplyClicked: main_Q3.totalApply()
    }

    Menu_Up {
        id: menuUp
        y: -13
        width: parent.width
        height: 32
        onBtnClicked: {
            if (index === 0)
                menuUp.isGlobalSettingSelect = !menuUp.isGlobalSettingSelect
            else if (index === 1)
                ui_Ctl.onClose()
            else if (index === 2)
                ui_Ctl.onMinimize()
            mainIten.controlMenu()
        }
        onIsGlobalSettingSelectChanged: {
            if (isGlobalSettingSelect)
                mainIten.showGlobalSetting()
            else
                mainIten.hideGlobalSetting()
        }
    }

    Environment_Decoration {
        id: webLink
    }

    // The keyboard, while the page area is empty and no background of the
    // user's own is chosen.
    Image {
        id: keyboardPicture
        objectName: "keyboardPicture"
        x: 152
        y: 121
        source: mainIten.skinFolder + "keyboard.png"
        visible: main_Q3.shownPage === -1 && !mainIten.isCustomBackground
    }

    Item {
        id: settingsPanel
        objectName: "settingsPanel"
        x: 675
        y: 56
        width: 319
        height: 411
        clip: true
        visible: false

        Page_Globalsetting {
            id: pageGlobalsetting
            objectName: "pageGlobalsetting"
            x: -settingsPanel.width
            width: settingsPanel.width
            height: settingsPanel.height
        }

        NumberAnimation {
            id: panelShow
            target: pageGlobalsetting
            property: "x"
            from: -settingsPanel.width
            to: 0
            duration: 0.8 * mainIten.animation_speed
            easing.type: Easing.OutCubic
        }
        SequentialAnimation {
            id: panelHide
            NumberAnimation {
                target: pageGlobalsetting
                property: "x"
                from: 0
                to: -settingsPanel.width
                duration: 0.8 * mainIten.animation_speed
                easing.type: Easing.OutCubic
            }
            ScriptAction {
                script: settingsPanel.visible = false
            }
        }
    }

    // The settings page's APPLY closes the panel.
    Connections {
        target: pageGlobalsetting
        ignoreUnknownSignals: true
        function onCloseRequested() {
            menuUp.isGlobalSettingSelect = false
        }
    }

    // Bottom left, beside the bottom menu's buttons, while no keyboard is there.
    Text {
        id: noKeyboardText
        objectName: "noKeyboardText"
        x: 24
        y: parent.height - 49 + (49 - height) / 2
        width: 290
        visible: !mainIten.keyboardConnected
        text: {
            var list = mainIten.globalSetting_stringList
            var entry = list ? list[124] : undefined
            return entry ? String(entry) : "no keyboard connected"
        }
        elide: Text.ElideRight
        font.family: mainIten.globalSetting_fontFamily
        font.pixelSize: mainIten.globalSetting_size + 1
        color: SkinLook.accent(mainIten.skin_No)
        Accessible.role: Accessible.StaticText
        Accessible.name: text
    }

    BusyIndicator {
        id: busyIndicator
        objectName: "busyIndicator"
        anchors.centerIn: parent
        z: 99
    }
}
