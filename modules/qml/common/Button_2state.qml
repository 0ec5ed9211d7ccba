// A picture button: source1 under the pointer, source0 otherwise; pressed or
// disabled it fades. A click plays the click sound and emits clicked.
import QtQuick 2.15

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

    Image {
        id: face
        anchors.fill: parent
        source: (area.containsMouse && button.enabled) ? button.source1 : button.source0
    }

    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        onClicked: {
            if (typeof ui_View !== "undefined")
                ui_View.playMedia_Index(4)
            button.clicked()
        }
    }
}
