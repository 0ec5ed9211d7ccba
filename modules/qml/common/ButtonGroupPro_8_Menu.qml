// The pop-up menu of the eight-button group: eighteen entries in a grid; a
// click on one emits clicked with its number and closes the menu. It fades
// in over 1.5 and out over 1 animation step, as the other pop-up menus do.
import QtQuick 2.15
import "SkinLook.js" as SkinLook

Item {
    id: menu
    property var texts: ["1", "2", "3", "4", "5", "6", "7", "8", "9",
                         "10", "11", "12", "13", "14", "15", "16", "17", "18"]
    // The entry shown as current, -1 for none.
    property int currentValue: -1
    property bool isShow: false
    property string namePrefix: objectName
    readonly property int entryCount: 18
    readonly property int columns: 3
    readonly property int entryWidth: 54
    readonly property int entryHeight: 20

    signal clicked(int index)

    implicitWidth: columns * entryWidth + 4
    implicitHeight: Math.ceil(entryCount / columns) * entryHeight + 4
    visible: opacity > 0
    opacity: isShow ? 1.0 : 0.0
    Behavior on opacity {
        NumberAnimation {
            duration: menu.isShow ? 1.5 * mainIten.animation_speed : mainIten.animation_speed
        }
    }

    Accessible.role: Accessible.PopupMenu
    Accessible.name: "Values"

    function showMenu() {
        isShow = true
    }

    function closeMenu() {
        isShow = false
    }

    function chooseValue(index) {
        if (!isShow || !enabled || index < 0 || index >= entryCount)
            return
        closeMenu()
        clicked(index)
    }

    Keys.onEscapePressed: closeMenu()

    Rectangle {
        anchors.fill: parent
        color: SkinLook.well(mainIten.skin_No)
        border.color: SkinLook.edge(mainIten.skin_No)
        radius: 3
    }

    Grid {
        x: 2
        y: 2
        columns: menu.columns

        Repeater {
            model: menu.entryCount

            Item {
                id: entry
                objectName: menu.namePrefix + "_item" + index
                width: menu.entryWidth
                height: menu.entryHeight
                readonly property bool isCurrent: index === menu.currentValue
                readonly property string label: menu.texts && menu.texts[index] !== undefined ? String(menu.texts[index]) : ""

                Accessible.role: Accessible.MenuItem
                Accessible.name: label
                Accessible.checkable: true
                Accessible.checked: isCurrent
                Accessible.onPressAction: menu.chooseValue(index)

                Rectangle {
                    anchors.fill: parent
                    radius: 2
                    color: entry.isCurrent ? SkinLook.accentFaint(mainIten.skin_No)
                                           : (entryArea.containsMouse ? SkinLook.hover(mainIten.skin_No) : "transparent")
                }
                Text {
                    anchors.centerIn: parent
                    width: parent.width - 4
                    horizontalAlignment: Text.AlignHCenter
                    elide: Text.ElideRight
                    text: entry.label
                    font.family: mainIten.globalSetting_fontFamily
                    font.pixelSize: mainIten.globalSetting_size
                    color: entry.isCurrent || entryArea.containsMouse ? mainIten.globalSetting_color_enable
                                                                      : mainIten.globalSetting_color
                }
                MouseArea {
                    id: entryArea
                    anchors.fill: parent
                    hoverEnabled: true
                    enabled: menu.isShow
                    onClicked: menu.chooseValue(index)
                }
            }
        }
    }
}
