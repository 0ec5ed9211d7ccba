// A key of the lighting page: a Key_Color that can be chosen for painting.
// Chosen keys carry a frame in the accent of the skin; screen readers press
// a key to paint it alone.
import QtQuick 2.15
import "../common/SkinLook.js" as SkinLook

Key_Color {
    id: key
    property Item keyModel: null
    property bool selected: false

    Accessible.role: Accessible.CheckBox
    Accessible.name: key.name
    Accessible.checkable: true
    Accessible.checked: key.selected
    Accessible.onPressAction: {
        if (key.keyModel)
            key.keyModel.paintKey(key.matrix)
    }

    Rectangle {
        objectName: key.objectName + "_frame"
        anchors.fill: parent
        visible: key.selected
        color: "transparent"
        radius: 3
        border.width: 1
        border.color: SkinLook.accent(mainIten.skin_No)
    }
}
