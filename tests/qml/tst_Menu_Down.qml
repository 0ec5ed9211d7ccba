import QtQuick 2.15
import QtTest 1.15
import "../../modules/qml/basic"

// The bottom menu: each button locks the window first, then tells the pages,
// then closes pop-ups; a dimmed menu does nothing.
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
    property url sourceListDnContainer: "file:modules/img/skin1/list_dn/listDnContainer.png"
    property url sourceListDownButtonBg: "file:modules/img/skin1/list_dn/listDownButtonBg.png"
    property bool keyboardConnected: true

    // Everything in the order it happened.
    property var log: []
    function record(entry) { log = log.concat([entry]) }
    function setProtectUI(ms) { record("setProtectUI " + ms) }
    function controlMenu() { record("controlMenu") }

    QtObject {
        id: ui_View
        function playMedia_Index(n) { mainIten.record("sound " + n) }
    }

    Menu_Down {
        id: menu
        anchors.bottom: parent.bottom
        onBtnTotalResetClicked: mainIten.record("btnTotalResetClicked")
        onBtntextgisned: mainIten.record("btntextgisned")
        onBtnTotalApplyClicked: mainIten.record("btnTotalApplyClicked")
    }

    TestCase {
        name: "Menu_Down"
        when: windowShown

        function init() {
            menu.enabled = true
            mainIten.keyboardConnected = true
            mainIten.globalSetting_stringList = []
            mainIten.log = []
        }

        function test_buttons_data() {
            return [
                { tag: "ALL RESET", name: "allResetButton", x: 337,
                  expected: ["sound 4", "setProtectUI 800", "btnTotalResetClicked", "controlMenu"] },
                { tag: "ALL SAVE", name: "allSaveButton", x: 504,
                  expected: ["sound 4", "setProtectUI 2000", "btntextgisned", "btnTotalApplyClicked", "controlMenu"] }
            ]
        }
        function test_buttons(data) {
            var button = findChild(menu, data.name)
            compare(button.x, data.x)
            compare(button.Accessible.name, data.tag)
            mouseClick(button)
            compare(mainIten.log, data.expected)
            mainIten.log = []
            button.Accessible.pressAction()
            compare(mainIten.log, data.expected)
        }

        function test_textsFromTheList() {
            var list = []
            for (var i = 0; i < 115; ++i)
                list.push("")
            list[113] = "REINICIAR"
            list[114] = "GUARDAR"
            mainIten.globalSetting_stringList = list
            compare(findChild(menu, "allResetButton").Accessible.name, "REINICIAR")
            compare(findChild(menu, "allSaveButton").Accessible.name, "GUARDAR")
        }

        function test_dimmedMenuDoesNothing() {
            menu.enabled = false
            mouseClick(findChild(menu, "allSaveButton"))
            menu.totalReset()
            menu.totalSave()
            compare(mainIten.log.filter(function (e) { return e.indexOf("sound") !== 0 }), [])
        }

        // Without a keyboard ALL SAVE has nowhere to send to; ALL RESET only
        // resets the pages and stays.
        function test_allSaveWaitsForTheKeyboard() {
            mainIten.keyboardConnected = false
            var save = findChild(menu, "allSaveButton")
            verify(!save.enabled)
            verify(findChild(menu, "allResetButton").enabled)
            mouseClick(save)
            save.Accessible.pressAction()
            menu.totalSave()
            compare(mainIten.log.filter(function (e) { return e.indexOf("sound") !== 0 }), [])
            mouseClick(findChild(menu, "allResetButton"))
            verify(mainIten.log.indexOf("btnTotalResetClicked") >= 0)

            mainIten.keyboardConnected = true
            mainIten.log = []
            verify(save.enabled)
            mouseClick(save)
            verify(mainIten.log.indexOf("btnTotalApplyClicked") >= 0)
        }
    }
}
