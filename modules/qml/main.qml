// The root document: draws the whole frameless 1000 by 600 window. Native
// code calls initUI, run, setProtectUI, zzzTovrin, detectKeyboard and
// detectMouse by name; the context properties ui_View, ui_Ctl and hid are set
// only after this document has loaded, so no binding below may use them.
import QtQuick 2.15
import "./basic"
import "./common"

Item {
    id: mainIten
    width: 1000
    height: 600

    // Shared look, bound to the global settings page once it exists.
    property int globalSetting_size: 11
    property color globalSetting_color: "#FFE1E1E1"
    property color globalSetting_color_enable: globalSetting_color
    property color globalSetting_color_disable: "#FFAAAAAA"
    property int animation_speed: 800
    property var globalSetting_stringList: []
    property string globalSetting_fontFamily: "Exo"
    property string globalSetting_url: ""
    property int lang: 0
    property int layout: 0
    property int profile: 0
    property bool isShowUpdateBtn: true
    property int skin_No: 1
    property bool isCustomBackground: false
    property url sourceCustomBackground: ""
    property int disableTongbu: 0

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

    // Queued by the view once the event loop runs. The order matters: the
    // language texts must be there before the pages build.
    function initUI() {
        console.debug(log, "initUI")
        isShowUpdateBtn = ui_View.ui_80H_GetFWVersion()
        layout = ui_View.ui_80H_GetHWMode()
        profile = ui_View.ui_A1H_GetCurrentProfile()
    }

    function run() {
        console.debug(log, "run")
    }

    function setProtectUI(interval) {
        busyIndicator.setBusy(true)
        if (typeof ui_View !== "undefined")
            ui_View.setEnabled(false)
        protectTimer.interval = interval
        protectTimer.restart()
    }

    // The keyboard reported a change made at the keyboard itself.
    function zzzTovrin(profileNo, effect, brightness, speed) {
        console.debug(log, "zzzTovrin", profileNo, effect, brightness, speed)
        profile = profileNo
    }

    function detectKeyboard(isDown, usbCode) {
        msg_KB(isDown, usbCode)
    }

    function detectMouse(isDown, darvCode, x, y) {
    }

    // Closes open pop-up menus; pages register theirs as they arrive.
    signal closePopups
    function controlMenu() {
        closePopups()
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

    // Dragging anywhere on an empty part of the window moves it.
    MouseArea {
        id: dragArea
        anchors.fill: parent
        property point pressPos
        onPressed: {
            pressPos = Qt.point(mouse.x, mouse.y)
            controlMenu()
        }
        onPositionChanged: {
            if (!pressed)
                return
            ui_Ctl.onXChanged(mouse.x - pressPos.x)
            ui_Ctl.onYChanged(mouse.y - pressPos.y)
        }
    }

    Environment {
        id: environment
        source: mainIten.sourceBackground
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
            controlMenu()
        }
    }

    BusyIndicator {
        id: busyIndicator
        objectName: "busyIndicator"
        anchors.centerIn: parent
        z: 99
    }
}
