import QtQuick 2.15
import QtTest 1.15
import "../../modules/qml/Q3"

// The function menu: one entry selected at a time, a second click closes,
// and a dimmed menu takes no clicks.
Item {
    id: scene
    width: 300
    height: 300

    Item {
        id: mainIten
        property int globalSetting_size: 11
        property color globalSetting_color: "#ff6e6e6e"
        property color globalSetting_color_enable: "#ffffffff"
        property color globalSetting_color_disable: "#FFAAAAAA"
        property string globalSetting_fontFamily: "Exo"
        property var globalSetting_stringList: []
        property int skin_No: 1
        property url sourceListFnBtn_0: "file:modules/img/skin1/list_fn/listFnBtn_0.png"
        property url sourceListFnBtn_1: "file:modules/img/skin1/list_fn/listFnBtn_1.png"
    }

    Menu_Func {
        id: menu
        x: 16
        y: 20
    }

    SignalSpy {
        id: spy
        target: menu
        signalName: "indexChanged_btn"
    }

    TestCase {
        name: "Menu_Func"
        when: windowShown

        function entry(i) {
            return findChild(menu, "funcButton" + i)
        }

        function init() {
            menu.enabled = true
            menu.currentIndex = -1
            mainIten.globalSetting_stringList = []
            spy.clear()
        }

        function test_clicks_data() {
            return [
                { tag: "open one", clicks: [0], expected: [0] },
                { tag: "same again closes", clicks: [1, 1], expected: [1, -1] },
                { tag: "another swaps", clicks: [0, 2], expected: [0, 2] },
                { tag: "reopen after closing", clicks: [2, 2, 2], expected: [2, -1, 2] }
            ]
        }
        function test_clicks(data) {
            for (var i = 0; i < data.clicks.length; ++i)
                mouseClick(entry(data.clicks[i]))
            var seen = []
            for (var s = 0; s < spy.count; ++s)
                seen.push(spy.signalArguments[s][0])
            compare(seen, data.expected)
            compare(menu.currentIndex, data.expected[data.expected.length - 1])
        }

        function test_dimmedMenuTakesNoClicks() {
            menu.enabled = false
            mouseClick(entry(1))
            menu.activate(1)
            compare(spy.count, 0)
            compare(menu.currentIndex, -1)
        }

        function test_textsFollowTheLanguage() {
            compare(entry(0).Accessible.name, "KEY")
            var list = []
            for (var i = 0; i < 77; ++i)
                list.push("")
            list[74] = "TECLA"
            list[75] = "MACRO"
            list[76] = "COLOR"
            mainIten.globalSetting_stringList = list
            compare(entry(0).Accessible.name, "TECLA")
            compare(entry(2).Accessible.name, "COLOR")
        }

        function test_accessiblePressActsLikeAClick() {
            entry(2).Accessible.pressAction()
            compare(menu.currentIndex, 2)
            compare(spy.count, 1)
            verify(entry(2).Accessible.checked)
            verify(!entry(0).Accessible.checked)
        }
    }
}
