// One choice of a group: the skin's check picture with a label. A click
// plays the click sound, reports the button's index and selects it (a
// chosen button stays chosen); the owner deselects the others.
//
// Owners may bind isSelect to their own state (isSelect: size === index)
// and update that state from clicked: the button then leaves the binding
// alone. Only when the owner did not select it does the button set it.
import QtQuick 2.15
import "SkinLook.js" as SkinLook

Item {
    id: radio
    property bool isSelect: false
    property string chkStr: ""
    property int index: 0
    signal clicked(int index)

    implicitWidth: mark.width + (chkStr.length > 0 ? 6 + label.implicitWidth : 0)
    implicitHeight: Math.max(mark.height, label.implicitHeight)
    opacity: enabled ? 1.0 : 0.6

    activeFocusOnTab: true
    Accessible.role: Accessible.RadioButton
    Accessible.name: chkStr
    Accessible.checkable: true
    Accessible.checked: isSelect
    Accessible.focusable: true
    Accessible.onPressAction: radio.activate()
    Accessible.onToggleAction: radio.activate()
    Keys.onSpacePressed: radio.activate()

    function activate() {
        if (!enabled)
            return
        if (typeof ui_View !== "undefined")
            ui_View.playMedia_Index(4)
        clicked(index)
        if (!isSelect)
            isSelect = true
    }

    Image {
        id: mark
        width: 16
        height: 16
        anchors.verticalCenter: parent.verticalCenter
        source: radio.isSelect ? mainIten.sourceCHK1 : mainIten.sourceCHK0
    }

    Text {
        id: label
        x: mark.width + 6
        anchors.verticalCenter: parent.verticalCenter
        text: radio.chkStr
        font.family: mainIten.globalSetting_fontFamily
        font.pixelSize: mainIten.globalSetting_size
        color: !radio.enabled ? mainIten.globalSetting_color_disable
                              : (area.containsMouse || radio.isSelect ? mainIten.globalSetting_color_enable
                                                                      : mainIten.globalSetting_color)
    }

    Rectangle {
        anchors.fill: mark
        anchors.margins: -2
        visible: radio.activeFocus
        color: "transparent"
        radius: 3
        border.color: SkinLook.accent(mainIten.skin_No)
    }

    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        onClicked: radio.activate()
    }
}
