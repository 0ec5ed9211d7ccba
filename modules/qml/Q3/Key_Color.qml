// One key of the lighting page's keyboard drawing: where it is, which
// matrix number it has and how large its picture is. It draws nothing
// itself: the preview paints every key in one go.
import QtQuick 2.15

Item {
    id: key
    property int keyType: 0
    property string name: ""
    property int matrix: -1
    readonly property string skinBase: "file:modules/img/skin" + mainIten.skin_No + "/model_kb/k" + keyType

    width: keyType > 0 && face.status === Image.Ready ? face.implicitWidth : 25
    height: keyType > 0 && face.status === Image.Ready ? face.implicitHeight : 25

    // Read for its size only; the preview draws the face.
    Image {
        id: face
        visible: false
        source: key.keyType > 0 ? key.skinBase + "-0.png" : ""
    }
}
