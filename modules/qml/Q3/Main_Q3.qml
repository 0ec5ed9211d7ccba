// The keyboard's main page: the function menu with its three pages (key
// assignment, macros, lighting), the profile menu and the firmware update
// button. Pages are reached only through pageCall, so a page that lacks a
// function (or does not exist yet) simply does not answer.
//
// The pages are made when first needed (shown, or ALL SAVE / ALL RESET), not
// at start: the window maps sooner and holds less memory while the user has
// not opened them. A page made after initUI gets the same initUI call it
// would have got at start, so it reads the keyboard and the files itself.
import QtQuick 2.15
import "../common/SkinLook.js" as SkinLook

Item {
    id: main_Q3
    objectName: "mainQ3"
    width: 1000
    height: 600

    // Null until made.
    readonly property Item keyPage: keyLoader.item
    readonly property Item macroPage: macroLoader.item
    readonly property Item colorPage: colorLoader.item
    property alias pfPage: pfPage
    property alias funcPage: funcPage
    property alias keyCodeString: _KeyCodeString

    // The page on screen in the page area (0 key, 1 macro, 2 lighting), -1
    // once none is; it changes when the page is swapped, mid-slide.
    readonly property int shownPage: pageArea.shownPage
    // The last key pressed anywhere on the desktop.
    property int lastPressKeyCode: -1
    // Dimmed and unreachable while the global settings panel is open.
    property bool dimmed: false
    // The hardware definition initUI read, handed to pages made later.
    property var pageHwDef: null
    property bool uiReady: false

    // The root's key events, relayed to the pages.
    signal msg_KB(bool isDown, int usbCode)
    // The bottom menu's ALL RESET and ALL SAVE, relayed to the pages.
    signal btnTotalResetClicked
    signal btntextgisned
    signal btnTotalApplyClicked

    // Calls page[name](args...) when the page has such a function.
    function pageCall(page, name, args) {
        if (!page || typeof page[name] !== "function")
            return undefined
        return page[name].apply(page, args || [])
    }

    function initUI() {
        var hwDef = ui_View.loadHWDef()
        var usbStr = ui_View.loadUsbStr()
        var usbCode = ui_View.loadUsbCode()
        _KeyCodeString.initUI(hwDef, usbStr, usbCode)

        var current = profileOf(ui_View.ui_A1H_GetCurrentProfile())
        pfPage.currentIndex = current === undefined ? 0 : current
        mainIten.profile = pfPage.currentIndex

        pageHwDef = hwDef
        uiReady = true
        pageCall(keyPage, "initUI", [true, hwDef])
        pageCall(macroPage, "initUI", [])
        pageCall(colorPage, "initUI", [true, hwDef])
    }

    function pageLoader(index) {
        return [keyLoader, macroLoader, colorLoader][index]
    }

    // Makes page `index` now if it does not exist yet.
    function ensurePage(index) {
        var loader = pageLoader(index)
        if (!loader)
            return null
        loader.active = true
        return loader.item
    }

    function ensureAllPages() {
        for (var i = 0; i < 3; ++i)
            ensurePage(i)
    }

    function pageMade(index, page) {
        if (!uiReady)
            return
        if (index === 1)
            pageCall(page, "initUI", [])
        else
            pageCall(page, "initUI", [true, pageHwDef])
    }

    // ALL RESET and ALL SAVE reach every page, made or not.
    function totalReset() {
        ensureAllPages()
        btnTotalResetClicked()
    }

    function totalApply() {
        ensureAllPages()
        btnTotalApplyClicked()
    }

    // The keyboard reported a profile change made at the keyboard itself.
    function zzzTovrin(vendorData) {
        var reported = profileOf(vendorData)
        // A report outside the four profiles selects nothing; the lighting
        // that came with it reaches the lighting page through its tongbu.
        if (reported !== undefined && reported !== pfPage.currentIndex) {
            ui_View.ui_21H_SetCurrentProfile(reported)
            pfPage.currentIndex = reported
            mainIten.profile = reported
            pageCall(keyPage, "initUI", [])
            // The macro files belong to the profile as much as the keys do.
            pageCall(macroPage, "profileChanged", [])
            pageCall(colorPage, "initUI", [])
        }
        // Only another profile re-reads the lighting page's file: a lighting
        // change at the keyboard reaches the page through tongbu, which keeps
        // a picture being painted and colours not yet applied.
        if (shownPage === 2)
            pageCall(colorPage, "playEffect", [true])
    }

    // A profile chosen on the profile menu, or its file replaced.
    function profileChosen(index) {
        ui_View.ui_21H_SetCurrentProfile(index)
        mainIten.profile = index
        pageCall(keyPage, "initUI", [])
        pageCall(macroPage, "profileChanged", [])
        pageCall(colorPage, "initUI", [])
        if (shownPage === 2)
            pageCall(colorPage, "playEffect", [true])
    }

    function controlMenu() {
        pageCall(keyPage, "controlMenu", [])
        pageCall(macroPage, "controlMenu", [])
        pageCall(colorPage, "controlMenu", [])
        pfPage.controlMenu()
    }

    function translateStrings(code) {
        pageCall(keyPage, "translateStrings", [])
        pageCall(macroPage, "translateStrings", [])
        pageCall(colorPage, "translateStrings", [])
        pfPage.translateStrings()
    }

    function setSkin() {
        pageCall(keyPage, "setSkin", [])
        pageCall(macroPage, "setSkin", [])
        pageCall(colorPage, "setSkin", [])
    }

    // Shows page `index` (-1 closes the open one).
    function show(index) {
        pageArea.show(index)
    }


    // A profile number 0 to 3 from what the view hands over, else undefined.
    function profileOf(value) {
        var n = Number(value)
        return (isFinite(n) && Math.floor(n) === n && n >= 0 && n <= 3) ? n : undefined
    }

    KeyCodeString {
        id: _KeyCodeString
    }

    Connections {
        target: mainIten
        function onMsg_KB(isDown, usbCode) {
            if (isDown)
                main_Q3.lastPressKeyCode = usbCode
            main_Q3.msg_KB(isDown, usbCode)
        }
    }

    // The page area: pages slide in from the left and out again.
    Item {
        id: pageArea
        objectName: "pageArea"
        x: 127
        y: 96
        width: 792
        height: 442
        clip: true
        enabled: !main_Q3.dimmed
        opacity: main_Q3.dimmed ? 0.2 : 1.0

        property int shownPage: -1
        property int pendingPage: -1
        readonly property int slideDuration: 0.5 * mainIten.animation_speed

        function show(index) {
            if (typeof ui_View !== "undefined")
                ui_View.playMedia_Index(2)
            // A slide still running ends at once, so that this one starts
            // from where it would have ended.
            if (slide.running)
                slide.complete()
            pendingPage = (index >= 0 && index <= 2) ? index : -1
            if (pendingPage !== -1)
                main_Q3.ensurePage(pendingPage)
            slideOut.duration = shownPage === -1 ? 0 : slideDuration
            slideIn.duration = pendingPage === -1 ? 0 : slideDuration
            slide.start()
        }

        function swapPage() {
            var previous = shownPage
            shownPage = pendingPage
            if (previous === 2 && shownPage !== 2)
                main_Q3.pageCall(colorPage, "playEffect", [false])
            if (shownPage === 2)
                main_Q3.pageCall(colorPage, "playEffect", [true])
        }

        SequentialAnimation {
            id: slide
            NumberAnimation {
                id: slideOut
                target: pageContent
                property: "x"
                to: -2 * pageArea.width
                easing.type: Easing.InCubic
            }
            ScriptAction {
                script: pageArea.swapPage()
            }
            NumberAnimation {
                id: slideIn
                target: pageContent
                property: "x"
                from: -2 * pageArea.width
                to: 0
                easing.type: Easing.OutCubic
            }
        }

        Item {
            id: pageContent
            objectName: "pageContent"
            x: -2 * pageArea.width
            width: pageArea.width
            height: pageArea.height

            Loader {
                id: keyLoader
                objectName: "keyPageLoader"
                active: false
                sourceComponent: Page_Keydefine {
                    objectName: "keyPage"
                    visible: pageArea.shownPage === 0
                }
                onLoaded: main_Q3.pageMade(0, item)
            }
            Loader {
                id: macroLoader
                objectName: "macroPageLoader"
                active: false
                sourceComponent: Page_Macro {
                    objectName: "macroPage"
                    y: 46
                    visible: pageArea.shownPage === 1
                }
                onLoaded: main_Q3.pageMade(1, item)
            }
            Loader {
                id: colorLoader
                objectName: "colorPageLoader"
                active: false
                sourceComponent: Page_Color {
                    objectName: "colorPage"
                    visible: pageArea.shownPage === 2
                }
                onLoaded: main_Q3.pageMade(2, item)
            }
        }
    }

    Menu_Func {
        id: funcPage
        objectName: "menuFunc"
        anchors.left: parent.left
        anchors.leftMargin: 16
        anchors.verticalCenter: parent.verticalCenter
        enabled: !main_Q3.dimmed
        opacity: main_Q3.dimmed ? 0.2 : 1.0
        onIndexChanged_btn: {
            mainIten.controlMenu()
            pageArea.show(index)
        }
    }

    // Shown while the keyboard's firmware is not the one this program
    // expects; starts the updater.
    Item {
        id: updateButton
        objectName: "updateButton"
        x: funcPage.x
        y: funcPage.y + funcPage.height + 45
        width: updateFace.status === Image.Ready ? updateFace.implicitWidth : 97
        height: updateFace.status === Image.Ready ? updateFace.implicitHeight : 29
        visible: !mainIten.isShowUpdateBtn
        enabled: !main_Q3.dimmed
        opacity: main_Q3.dimmed ? 0.2 : (updateArea.pressed ? 0.8 : 1.0)

        function press() {
            if (!visible || !enabled)
                return
            if (typeof ui_View !== "undefined") {
                ui_View.playMedia_Index(4)
                ui_View.openUpdateExe()
            }
        }

        activeFocusOnTab: true
        Accessible.role: Accessible.Button
        Accessible.name: updateLabel.text
        Accessible.focusable: true
        Accessible.onPressAction: updateButton.press()
        Keys.onSpacePressed: updateButton.press()
        Keys.onReturnPressed: updateButton.press()
        Keys.onEnterPressed: updateButton.press()

        Image {
            id: updateFace
            anchors.fill: parent
            source: updateArea.containsMouse ? mainIten.sourceListFnBtn_1 : mainIten.sourceListFnBtn_0
        }
        Text {
            id: updateLabel
            anchors.centerIn: parent
            text: "UPDATE"
            font.family: mainIten.globalSetting_fontFamily
            font.pixelSize: mainIten.globalSetting_size
            color: updateArea.containsMouse ? mainIten.globalSetting_color_enable
                                            : mainIten.globalSetting_color_disable
        }
        Rectangle {
            anchors.fill: parent
            visible: updateButton.activeFocus
            color: "transparent"
            radius: 3
            border.width: 1
            border.color: SkinLook.accent(mainIten.skin_No)
        }
        MouseArea {
            id: updateArea
            anchors.fill: parent
            hoverEnabled: true
            onClicked: updateButton.press()
        }
    }

    Menu_Prof {
        id: pfPage
        objectName: "menuProf"
        anchors.right: parent.right
        anchors.rightMargin: 15
        anchors.verticalCenter: parent.verticalCenter
        enabled: !main_Q3.dimmed
        opacity: main_Q3.dimmed ? 0.2 : 1.0
        onIndexChanged_btn: main_Q3.profileChosen(index)
    }
}
