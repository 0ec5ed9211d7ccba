// A picture button: source1 under the pointer, source0 otherwise; pressed or
// disabled it fades. A click plays the click sound and emits clicked.
// Picture buttons have no text: whoever places one names it for screen
// readers (Accessible.name: "Close").
import QtQuick 2.15
import "SkinLook.js" as SkinLook

Item {
    id: button
    property url source0
    property url source1
    property alias mouse: area
    signal clicked

    // The skin's picture decides the size; without one the button keeps a
    // size that can still be seen and clicked.
    implicitWidth: face.status === Image.Ready ? face.implicitWidth : 30
    implicitHeight: face.status === Image.Ready ? face.implicitHeight : 24
    opacity: (area.pressed || !enabled) ? 0.8 : 1.0

    activeFocusOnTab: true
    Accessible.role: Accessible.Button
    Accessible.focusable: true
    Accessible.onPressAction: button.click()
    Keys.onSpacePressed: button.click()
    Keys.onReturnPressed: button.click()
    Keys.onEnterPressed: button.click()

    // What a mouse click does; also reached from the keyboard and from
    // assistive technology, which do not pass through the disabled mouse area.
    function click() {
        if (!enabled)
            return
        if (typeof ui_View !== "undefined")
            ui_View.playMedia_Index(4)
        clicked()
    }

    Image {
        id: face
        anchors.fill: parent
        source: (area.containsMouse && button.enabled) ? button.source1 : button.source0
    }

    Rectangle {
        anchors.fill: parent
        visible: button.activeFocus
        color: "transparent"
        radius: 3
        border.width: 1
        border.color: SkinLook.accent(mainIten.skin_No)
    }

    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        onClicked: button.click()
    }
}
