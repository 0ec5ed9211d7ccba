import QtQuick 2.15
import QtTest 1.15
import "../../modules/qml/Q3"

// The keyboard's main page on stand-ins of the root and the view: start-up,
// profile changes from the menu and from the keyboard, the sliding page area,
// key events relayed to the pages, and dimming.
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
    property int animation_speed: 200
    property int skin_No: 1
    property int profile: 0
    property bool isShowUpdateBtn: true
    readonly property string skin: "file:modules/img/skin1/"
    property url sourceListFnBtn_0: skin + "list_fn/listFnBtn_0.png"
    property url sourceListFnBtn_1: skin + "list_fn/listFnBtn_1.png"
    property url sourceListPfContainer: skin + "list_pf/listPfContainer.png"
    property url sourceFW0: skin + "list_pf/profileFW_0.png"
    property url sourceFW1: skin + "list_pf/profileFW_1.png"
    property url sourceFnKeydefineBackground: skin + "list_center/fnKeydefineBackground.png"
    property url sourceFnMacroBackground: skin + "list_center/fnMacroBackground.png"
    property url sourceFnColorBackground: skin + "list_center/fnColorBackground.png"

    signal msg_KB(bool isDown, int usbCode)
    property int menusClosed: 0
    function controlMenu() { ++menusClosed }

    QtObject {
        id: ui_View
        property var calls: []
        property var currentProfile: 2
        function record(call) { calls = calls.concat([call]) }
        function playMedia_Index(n) { record("sound " + n) }
        function loadHWDef() { record("loadHWDef"); return [2, 128, 10, 20, 1, "Esc", 0, 41, 40, 80, 1, "A", 49, 4] }
        function loadUsbStr() { record("loadUsbStr"); return ["A", "Esc"] }
        function loadUsbCode() { record("loadUsbCode"); return ["4", "41"] }
        function ui_A1H_GetCurrentProfile() { record("ui_A1H_GetCurrentProfile"); return currentProfile }
        function ui_21H_SetCurrentProfile(n) { record("ui_21H_SetCurrentProfile " + n) }
        function openUpdateExe() { record("openUpdateExe") }
        // What the pages read for themselves, kept apart from the main page's calls.
        property var pageReads: []
        function ui_82H_GetKeyboardMode() { pageReads = pageReads.concat(["ui_82H_GetKeyboardMode"]); return 0 }
        // The calls other than sounds.
        function deviceCalls() { return calls.filter(function (c) { return c.indexOf("sound") !== 0 }) }
    }

    Main_Q3 {
        id: main
    }

    Component {
        id: lazyMain
        Main_Q3 {}
    }

    // Where the page content stood each time the shown page changed.
    property var swaps: []
    Connections {
        target: main
        function onShownPageChanged() {
            mainIten.swaps = mainIten.swaps.concat([[main.shownPage, testCase.findChild(main, "pageContent").x]])
        }
    }

    SignalSpy {
        id: keys
        target: main
        signalName: "msg_KB"
    }

    TestCase {
        id: testCase
        name: "Main_Q3"
        when: windowShown

        function child(name) {
            return findChild(main, name)
        }

        // Page `index` alone is on screen (-1: none); a page not made yet
        // counts as hidden.
        function onlyShown(index) {
            var pages = [main.keyPage, main.macroPage, main.colorPage]
            for (var i = 0; i < pages.length; ++i) {
                if ((pages[i] !== null && pages[i].visible) !== (i === index))
                    return false
            }
            return true
        }

        function init() {
            main.dimmed = false
            mainIten.isShowUpdateBtn = true
            ui_View.currentProfile = 2
            main.initUI()
            ui_View.calls = []
            mainIten.menusClosed = 0
            keys.clear()
        }

        function cleanup() {
            main.show(-1)
            tryCompare(main, "shownPage", -1)
            main.funcPage.currentIndex = -1
        }

        function test_initUI() {
            ui_View.calls = []
            ui_View.currentProfile = 3
            main.initUI()
            compare(ui_View.deviceCalls(), ["loadHWDef", "loadUsbStr", "loadUsbCode", "ui_A1H_GetCurrentProfile"])
            compare(main.pfPage.currentIndex, 3)
            compare(mainIten.profile, 3)
            compare(main.keyCodeString.strTokeycode("Esc"), 41)
            compare(main.keyCodeString.keycodeTomatrix(4), 49)
        }

        function test_initUIWithUnknownProfile() {
            ui_View.currentProfile = 7
            main.initUI()
            compare(main.pfPage.currentIndex, 0)
            compare(mainIten.profile, 0)
        }

        function test_keyboardReportsProfile_data() {
            return [
                { tag: "another", report: 3, calls: ["ui_21H_SetCurrentProfile 3"], profile: 3 },
                { tag: "as text", report: "1", calls: ["ui_21H_SetCurrentProfile 1"], profile: 1 },
                { tag: "the same", report: 2, calls: [], profile: 2 },
                { tag: "beyond the four", report: 9, calls: [], profile: 2 },
                { tag: "negative", report: -1, calls: [], profile: 2 }
            ]
        }
        function test_keyboardReportsProfile(data) {
            main.zzzTovrin(data.report)
            compare(ui_View.deviceCalls(), data.calls)
            compare(mainIten.profile, data.profile)
            compare(main.pfPage.currentIndex, data.profile)
        }

        function test_profileMenuSwitchesProfile() {
            mouseClick(findChild(main.pfPage, "profileButton0"))
            compare(ui_View.deviceCalls(), ["ui_21H_SetCurrentProfile 0"])
            compare(mainIten.profile, 0)
        }

        function test_pagesSlide() {
            mouseClick(findChild(main.funcPage, "funcButton0"))
            verify(mainIten.menusClosed > 0)
            tryCompare(main, "shownPage", 0)
            tryCompare(child("pageContent"), "x", 0)
            verify(onlyShown(0))

            // The open page leaves before the next comes in.
            mainIten.swaps = []
            main.show(2)
            compare(main.shownPage, 0)
            tryCompare(main, "shownPage", 2)
            compare(mainIten.swaps, [[2, -1584]])
            tryCompare(child("pageContent"), "x", 0)
            verify(onlyShown(2))

            // Each request plays the slide sound.
            compare(ui_View.calls.filter(function (c) { return c === "sound 2" }).length, 2)
        }

        function test_requestDuringASlideEndsItFirst() {
            main.show(1)
            tryCompare(main, "shownPage", 1)
            main.show(0)
            verify(child("pageContent").x > -1584)
            // Closing now lets page 0 arrive at once, then slides it out.
            main.show(-1)
            compare(main.shownPage, 0)
            compare(child("pageContent").x, 0)
            tryCompare(main, "shownPage", -1)
            verify(onlyShown(-1))
        }

        function test_pagesMadeOnDemand() {
            var lazy = createTemporaryObject(lazyMain, mainIten)
            lazy.initUI()
            compare([lazy.keyPage, lazy.macroPage, lazy.colorPage], [null, null, null])

            // Shown: made at once and read like the pages made at start.
            ui_View.pageReads = []
            lazy.show(1)
            verify(lazy.macroPage !== null)
            compare(lazy.macroPage.y, 46)
            lazy.show(0)
            verify(lazy.keyPage !== null)
            compare(ui_View.pageReads, ["ui_82H_GetKeyboardMode"])
            compare(lazy.colorPage, null)

            // ALL SAVE and ALL RESET reach pages nobody opened.
            var saves = 0
            lazy.btnTotalApplyClicked.connect(function () { saves += lazy.colorPage !== null ? 1 : 0 })
            lazy.totalApply()
            compare(saves, 1)
        }

        function test_closingWithNothingOpen() {
            main.show(-1)
            tryCompare(main, "shownPage", -1)
            main.show(5)
            tryCompare(main, "shownPage", -1)
        }

        function test_keyEventsRelayed() {
            mainIten.msg_KB(true, 4)
            mainIten.msg_KB(false, 4)
            mainIten.msg_KB(false, 5)
            compare(keys.count, 3)
            compare(keys.signalArguments[2][0], false)
            compare(keys.signalArguments[2][1], 5)
            // Only presses count as the last key.
            compare(main.lastPressKeyCode, 4)
        }

        function test_updateButton() {
            var button = child("updateButton")
            verify(!button.visible)
            mainIten.isShowUpdateBtn = false
            verify(button.visible)
            compare(button.y, main.funcPage.y + main.funcPage.height + 45)
            compare(button.Accessible.name, "UPDATE")
            mouseClick(button)
            compare(ui_View.deviceCalls(), ["openUpdateExe"])
        }

        function test_dimmed() {
            mainIten.isShowUpdateBtn = false
            main.dimmed = true
            var parts = [main.funcPage, main.pfPage, child("updateButton"), child("pageArea")]
            for (var i = 0; i < parts.length; ++i) {
                verify(!parts[i].enabled)
                compare(parts[i].opacity, 0.2)
            }
            mouseClick(findChild(main.funcPage, "funcButton1"))
            mouseClick(findChild(main.pfPage, "profileButton3"))
            mouseClick(child("updateButton"))
            compare(ui_View.deviceCalls(), [])
            compare(main.funcPage.currentIndex, -1)
            main.dimmed = false
            compare(main.funcPage.opacity, 1.0)
        }
    }
}
