import QtQuick 2.15
import QtTest 1.15

// The whole root document on stand-ins of the view and the window control:
// the start-up order, the settings panel and the dimming it brings, the
// window lock, the bottom menu's language reset, dragging and pop-ups.
Item {
    id: scene
    width: 1000
    height: 600

    // The native view: a configuration, two languages, a keyboard in profile
    // 1 with a Spanish layout and a firmware that wants updating; every call
    // recorded in order.
    QtObject {
        id: ui_View
        property var calls: []
        property bool enabled: true
        property int activeProfile: 1
        property bool firmwareCurrent: false
        function record(call) { calls = calls.concat([call]) }
        function deviceCalls() { return calls.filter(function (c) { return c.indexOf("playMedia") !== 0 }) }

        function setEnabled(on) { enabled = on; record("setEnabled " + on) }
        function playMedia_Index(n) { record("playMedia_Index " + n) }
        function setEnableAudio(on) { record("setEnableAudio " + on) }
        function clearAllMedia() { record("clearAllMedia") }
        function ui_80H_GetFWVersion() { record("ui_80H_GetFWVersion"); return firmwareCurrent }
        function ui_80H_GetHWMode() { record("ui_80H_GetHWMode"); return 1 }
        function ui_88H_GetLEDTypeX() { record("ui_88H_GetLEDTypeX"); return [1, 63, 3, 0, 5, 0] }
        function ui_A1H_GetCurrentProfile() { record("ui_A1H_GetCurrentProfile"); return activeProfile }
        function ui_21H_SetCurrentProfile(n) { record("ui_21H_SetCurrentProfile " + n) }
        function loadHWDef() { record("loadHWDef"); return [1, 128, 10, 20, 1, "Esc", 0, 41] }
        function loadUsbStr() { record("loadUsbStr"); return ["Esc"] }
        function loadUsbCode() { record("loadUsbCode"); return ["41"] }
        function loadApConfig() {
            record("loadApConfig")
            return [1, 1, 1, 0, 0, "false", "", 0, 0, 255, 255, 255, 200, 150, 255, 180, 0, 200, 200, 100,
                    200, 170, 255, 255, 180, 180, 160, 190, 160, 0, 7, "https://q3.example.org/"]
        }
        function chkLanguages() { record("chkLanguages"); return { "ENGLISH": "031000", "SPANISH": "111000" } }
        function getGlobalStrings(code) {
            record("getGlobalStrings " + code)
            var list = ["Exo"]
            for (var i = 1; i < 125; ++i)
                list.push(code === "111000" ? "ES" + i : "EN" + i)
            return list
        }
        function getIsSkinShow() { return true }
        function loadProfile(n) { record("loadProfile " + n) }
        function saveProfile(n) { record("saveProfile " + n) }
        function resetProfile(n) { record("resetProfile " + n) }
        function saveApConfig(list) { record("saveApConfig") }
        function resetApconfig() { record("resetApconfig") }
        function openUpdateExe() { record("openUpdateExe") }
    }

    QtObject {
        id: ui_Ctl
        property var calls: []
        function onXChanged(dx) { calls = calls.concat(["x " + dx]) }
        function onYChanged(dy) { calls = calls.concat(["y " + dy]) }
        function onClose() { calls = calls.concat(["close"]) }
        function onMinimize() { calls = calls.concat(["minimize"]) }
    }

    Loader {
        id: loader
        source: "../../modules/qml/main.qml"
    }

    TestCase {
        id: testCase
        name: "main"
        when: windowShown && loader.status === Loader.Ready

        property var root: loader.item

        function child(name) {
            return findChild(root, name)
        }
        function panelPage() {
            return child("pageGlobalsetting")
        }
        function toggleSettings() {
            mouseClick(child("settingsButton"))
        }
        function waitUnlocked() {
            tryCompare(child("busyIndicator"), "visible", false)
            verify(ui_View.enabled)
        }

        function initTestCase() {
            root.initUI()
            waitUnlocked()
        }

        function init() {
            ui_View.calls = []
            ui_Ctl.calls = []
        }

        function cleanup() {
            if (child("menuUp").isGlobalSettingSelect)
                toggleSettings()
            tryCompare(child("settingsPanel"), "visible", false)
            root.controlMenu()
            waitUnlocked()
        }

        function test_startUpOrder() {
            root.initUI()
            var calls = ui_View.deviceCalls()
            var order = ["ui_80H_GetFWVersion", "ui_80H_GetHWMode", "loadApConfig", "getGlobalStrings 031000",
                         "loadHWDef", "loadUsbStr", "loadUsbCode", "ui_A1H_GetCurrentProfile", "ui_88H_GetLEDTypeX"]
            var at = order.map(function (c) { return calls.indexOf(c) })
            for (var i = 0; i < order.length; ++i)
                verify(at[i] >= 0, order[i] + " is called")
            for (var j = 1; j < order.length; ++j)
                verify(at[j - 1] < at[j], order[j - 1] + " before " + order[j])
            compare(calls[calls.length - 1], "ui_88H_GetLEDTypeX")

            compare(root.layout, 1)
            compare(root.profile, 1)
            verify(!root.isShowUpdateBtn)
            verify(child("updateButton").visible)
            compare(root.globalSetting_url, "https://q3.example.org/")
            compare(root.globalSetting_stringList[74], "EN74")
        }

        function test_sharedLook() {
            compare(root.enTosp["; :"], "Ñ")
            compare(root.sptoen["} ]"], "Eur 1")
            compare(String(root.sourceFW1), "file:modules/img/skin1/list_pf/profileFW_1.png")
            panelPage().skin_No = 2
            compare(String(root.sourceFW1), "file:modules/img/skin2/list_pf/profileFW_1.png")
            panelPage().skin_No = 1
        }

        function test_settingsPanel() {
            var panel = child("settingsPanel")
            compare([panel.x, panel.y, panel.width, panel.height], [675, 56, 319, 411])
            verify(panel.clip)
            verify(!panel.visible)

            toggleSettings()
            verify(panel.visible)
            tryCompare(panelPage(), "x", 0)
            // Everything but the top menu is dimmed and out of reach.
            verify(!child("menuDown").enabled)
            compare(child("menuDown").opacity, 0.2)
            verify(child("mainQ3").dimmed)
            verify(child("menuUp").enabled)

            toggleSettings()
            tryCompare(panel, "visible", false)
            compare(panelPage().x, -319)
            verify(child("menuDown").enabled)
            compare(child("menuDown").opacity, 1.0)
        }

        function test_panelRequestDuringASlide() {
            var panel = child("settingsPanel")
            toggleSettings()
            toggleSettings()
            // The slide in ended at once, the slide out followed.
            verify(panel.visible)
            compare(panelPage().x, 0)
            tryCompare(panel, "visible", false)
            toggleSettings()
            verify(panel.visible)
            tryCompare(panelPage(), "x", 0)
        }

        function test_settingsApplyClosesThePanel() {
            toggleSettings()
            verify(child("menuUp").isGlobalSettingSelect)
            panelPage().closeRequested()
            verify(!child("menuUp").isGlobalSettingSelect)
            tryCompare(child("settingsPanel"), "visible", false)
        }

        function test_keyboardPicture() {
            var picture = child("keyboardPicture")
            compare([picture.x, picture.y], [152, 121])
            verify(picture.visible)
            child("mainQ3").show(0)
            tryCompare(picture, "visible", false)
            child("mainQ3").show(-1)
            tryCompare(picture, "visible", true)
            panelPage().isCustomBackground = true
            verify(!picture.visible)
            panelPage().isCustomBackground = false
            verify(picture.visible)
        }

        function test_lock_data() {
            return [
                { tag: "ms", interval: 50, expected: 50 },
                { tag: "none", interval: 0, expected: 0 },
                { tag: "negative", interval: -5, expected: 0 },
                { tag: "text", interval: "x", expected: 0 },
                { tag: "missing", interval: undefined, expected: 0 }
            ]
        }
        function test_lock(data) {
            root.setProtectUI(data.interval)
            verify(child("busyIndicator").visible)
            verify(!ui_View.enabled)
            compare(child("protectTimer").interval, data.expected)
            waitUnlocked()
        }

        function test_allResetGoesBackToTheLayoutsLanguage() {
            root.lang = 0
            mouseClick(child("allResetButton"))
            verify(!ui_View.enabled)
            compare(child("protectTimer").interval, 800)
            compare(root.lang, root.layout)
            verify(ui_View.deviceCalls().indexOf("getGlobalStrings 111000") >= 0)
            compare(root.globalSetting_stringList[113], "ES113")
            waitUnlocked()
            // Back to English for the other tests.
            panelPage().setLanguage(0)
            root.lang = 0
        }

        function test_allSaveLocksLonger() {
            var spy = signalSpy.createObject(testCase, { target: child("mainQ3"), signalName: "btnTotalApplyClicked" })
            mouseClick(child("allSaveButton"))
            compare(child("protectTimer").interval, 2000)
            compare(spy.count, 1)
            root.setProtectUI(0)
            waitUnlocked()
            spy.destroy()
        }

        function test_topMenu() {
            mouseClick(child("minimizeButton"))
            mouseClick(child("closeButton"))
            compare(ui_Ctl.calls, ["minimize", "close"])
        }

        function test_backgroundPressClosesPopupsAndDrags() {
            var profileButton = child("profileButton2")
            mouseClick(profileButton, 10, 10, Qt.RightButton)
            verify(child("menuProf").menuOpen)
            // An empty spot of the window.
            mousePress(root, 500, 70)
            verify(!child("menuProf").menuOpen)
            mouseMove(root, 510, 65)
            mouseRelease(root, 510, 65)
            compare(ui_Ctl.calls.slice(0, 2), ["x 10", "y -5"])
        }

        function test_keyboardEvents() {
            var spy = signalSpy.createObject(testCase, { target: child("mainQ3"), signalName: "msg_KB" })
            root.detectKeyboard(true, 0x33)
            compare(spy.count, 1)
            compare(spy.signalArguments[0][1], 0x33)
            compare(child("mainQ3").lastPressKeyCode, 0x33)
            root.detectMouse(true, 0xF0, 10, 10)
            spy.destroy()
        }

        function test_keyboardReportsAnotherProfile() {
            root.zzzTovrin(3, 1, 63, 3)
            compare(root.profile, 3)
            compare(ui_View.deviceCalls(), ["ui_21H_SetCurrentProfile 3"])
            verify(child("profileButton3").Accessible.checked)
            root.zzzTovrin(1, 1, 63, 3)
        }

        // Without a keyboard the window says so and its sending controls
        // wait; a keyboard that comes back is read again before they return.
        function test_keyboardGoesAndComes() {
            var text = child("noKeyboardText")
            verify(!text.visible)
            root.keyboardRemoved()
            verify(!root.keyboardConnected)
            verify(text.visible)
            compare(text.text, "EN124")
            compare(text.Accessible.role, Accessible.StaticText)
            compare(text.Accessible.name, "EN124")
            verify(!child("allSaveButton").enabled)
            verify(child("allResetButton").enabled)
            verify(!child("profileButton2").enabled)
            compare(ui_View.deviceCalls(), [])

            ui_View.activeProfile = 3
            ui_View.firmwareCurrent = true
            root.keyboardArrived()
            verify(root.keyboardConnected)
            verify(!text.visible)
            compare(root.profile, 3)
            verify(child("profileButton3").Accessible.checked)
            verify(root.isShowUpdateBtn)
            verify(!child("updateButton").visible)
            verify(child("allSaveButton").enabled)
            var calls = ui_View.deviceCalls()
            for (var c of ["ui_80H_GetFWVersion", "ui_80H_GetHWMode", "ui_A1H_GetCurrentProfile", "ui_88H_GetLEDTypeX"])
                verify(calls.indexOf(c) >= 0, c + " is read again")

            ui_View.activeProfile = 1
            ui_View.firmwareCurrent = false
            root.keyboardArrived()
            compare(root.profile, 1)
        }

        Component {
            id: signalSpy
            SignalSpy {}
        }
    }
}
