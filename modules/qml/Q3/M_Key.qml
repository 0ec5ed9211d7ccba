// A profile key of the keyboard drawing (M1 to M4): lit while its profile is
// the active one. Pressing one that is not active asks the page to switch.
import QtQuick 2.15
import "../common/SkinLook.js" as SkinLook

Item {
    id: mKey
    property int number: 1
    property bool active: false
    signal chosen(int number)

    implicitWidth: face.status === Image.Ready ? face.implicitWidth : 25
    implicitHeight: face.status === Image.Ready ? face.implicitHeight : 25

    function press() {
        if (!enabled || active)
            return
        if (typeof ui_View !== "undefined")
            ui_View.playMedia_Index(4)
        chosen(number)
    }

    activeFocusOnTab: true
    Accessible.role: Accessible.Button
    Accessible.name: label.text
    Accessible.checkable: true
    Accessible.checked: active
    Accessible.focusable: true
    Accessible.onPressAction: mKey.press()
    Keys.onSpacePressed: mKey.press()
    Keys.onReturnPressed: mKey.press()

    Image {
        id: face
        anchors.fill: parent
        source: "file:modules/img/skin" + mainIten.skin_No + "/model_kb/k1-0.png"
    }
    Image {
        anchors.fill: parent
        source: "file:modules/img/skin" + mainIten.skin_No + "/model_kb/k1-1.png"
        visible: mKey.active || area.containsMouse
        opacity: mKey.active ? 1.0 : 0.5
    }
    Text {
        id: label
        anchors.centerIn: parent
        text: "M" + mKey.number
        font.family: mainIten.globalSetting_fontFamily
        font.pixelSize: 9
        color: mKey.active ? mainIten.globalSetting_color : mainIten.globalSetting_color_enable
    }
    Rectangle {
        anchors.fill: parent
        visible: mKey.activeFocus
        color: "transparent"
        radius: 3
        border.color: SkinLook.accent(mainIten.skin_No)
    }
    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        onClicked: mKey.press()
    }
}
