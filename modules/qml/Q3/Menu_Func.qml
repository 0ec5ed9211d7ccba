// The function menu: KEY, MACRO and COLOR open the key assignment, macro and
// lighting pages. Clicking the selected entry closes its page again.
import QtQuick 2.15
import "../common/SkinLook.js" as SkinLook

Item {
    id: menuFunc

    // The selected entry, -1 for none.
    property int currentIndex: -1
    // Emitted on every click, with the entry now selected or -1.
    signal indexChanged_btn(int index)

    readonly property int entryWidth: 97
    readonly property int entryHeight: 29
    readonly property int entrySpacing: 20
    // UI texts of the three entries, and their icons in the skin's list_fn.
    readonly property var textIndexes: [74, 75, 76]
    readonly property var fallbackTexts: ["KEY", "MACRO", "COLOR"]
    readonly property var iconNames: ["fnKeydefine", "fnMacro", "fnColor"]

    width: entryWidth
    height: 3 * entryHeight + 2 * entrySpacing

    function select(index) {
        currentIndex = (index >= 0 && index < 3) ? index : -1
    }
    function deselect() {
        currentIndex = -1
    }

    // What a click on entry `index` does.
    function activate(index) {
        if (!enabled)
            return
        currentIndex = (currentIndex === index) ? -1 : index
        indexChanged_btn(currentIndex)
    }

    function entryText(index) {
        var list = mainIten.globalSetting_stringList
        var text = list ? list[textIndexes[index]] : undefined
        return (text === undefined || text === null) ? fallbackTexts[index] : String(text)
    }

    Repeater {
        model: 3
        delegate: Item {
            id: entry
            objectName: "funcButton" + index
            readonly property bool selected: menuFunc.currentIndex === index
            readonly property bool lit: selected || area.containsMouse
            x: 0
            y: index * (menuFunc.entryHeight + menuFunc.entrySpacing)
            width: menuFunc.entryWidth
            height: menuFunc.entryHeight

            activeFocusOnTab: true
            Accessible.role: Accessible.PageTab
            Accessible.name: label.text
            Accessible.focusable: true
            Accessible.checkable: true
            Accessible.checked: selected
            Accessible.onPressAction: menuFunc.activate(index)
            Keys.onSpacePressed: menuFunc.activate(index)
            Keys.onReturnPressed: menuFunc.activate(index)
            Keys.onEnterPressed: menuFunc.activate(index)

            Image {
                anchors.fill: parent
                source: area.containsMouse ? mainIten.sourceListFnBtn_1 : mainIten.sourceListFnBtn_0
            }
            Image {
                id: icon
                x: 10
                anchors.verticalCenter: parent.verticalCenter
                source: "file:modules/img/skin" + mainIten.skin_No + "/list_fn/"
                        + menuFunc.iconNames[index] + (entry.lit ? "_1.png" : "_0.png")
            }
            Text {
                id: label
                anchors.left: icon.right
                anchors.leftMargin: 6
                anchors.right: parent.right
                anchors.rightMargin: 6
                anchors.verticalCenter: parent.verticalCenter
                horizontalAlignment: Text.AlignHCenter
                elide: Text.ElideRight
                text: menuFunc.entryText(index)
                font.family: mainIten.globalSetting_fontFamily
                font.pixelSize: mainIten.globalSetting_size
                color: entry.lit ? mainIten.globalSetting_color_enable : mainIten.globalSetting_color_disable
            }
            Rectangle {
                anchors.fill: parent
                visible: entry.activeFocus
                color: "transparent"
                radius: 3
                border.width: 1
                border.color: SkinLook.accent(mainIten.skin_No)
            }
            MouseArea {
                id: area
                anchors.fill: parent
                hoverEnabled: true
                onClicked: menuFunc.activate(index)
            }
        }
    }
}
