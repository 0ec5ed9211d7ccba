// A check box: the skin's check picture with a label beside it. A click
// plays the click sound, reports the new state and flips isSelect.
//
// Owners may bind isSelect to their own state and update that state from
// clicked: the box then leaves the binding alone. Only when the owner did
// not take the new state does the box set it itself.
import QtQuick 2.15
import "SkinLook.js" as SkinLook

Item {
    id: box
    property bool isSelect: false
    property string chkStr: ""
    signal clicked(bool select)

    implicitWidth: mark.width + (chkStr.length > 0 ? 6 + label.implicitWidth : 0)
    implicitHeight: Math.max(mark.height, label.implicitHeight)
    opacity: enabled ? 1.0 : 0.6

    activeFocusOnTab: true
    Accessible.role: Accessible.CheckBox
    Accessible.name: chkStr
    Accessible.checkable: true
    Accessible.checked: isSelect
    Accessible.focusable: true
    Accessible.onPressAction: box.toggle()
    Accessible.onToggleAction: box.toggle()
    Keys.onSpacePressed: box.toggle()

    function toggle() {
        if (!enabled)
            return
        var select = !isSelect
        if (typeof ui_View !== "undefined")
            ui_View.playMedia_Index(4)
        clicked(select)
        if (isSelect !== select)
            isSelect = select
    }

    Image {
        id: mark
        width: 16
        height: 16
        anchors.verticalCenter: parent.verticalCenter
        source: box.isSelect ? mainIten.sourceCHK1 : mainIten.sourceCHK0
    }

    Text {
        id: label
        x: mark.width + 6
        anchors.verticalCenter: parent.verticalCenter
        text: box.chkStr
        font.family: mainIten.globalSetting_fontFamily
        font.pixelSize: mainIten.globalSetting_size
        color: !box.enabled ? mainIten.globalSetting_color_disable
                            : (area.containsMouse || box.isSelect ? mainIten.globalSetting_color_enable
                                                                  : mainIten.globalSetting_color)
    }

    Rectangle {
        anchors.fill: mark
        anchors.margins: -2
        visible: box.activeFocus
        color: "transparent"
        radius: 3
        border.color: SkinLook.accent(mainIten.skin_No)
    }

    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        onClicked: box.toggle()
    }
}
