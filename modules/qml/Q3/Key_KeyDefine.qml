// One key of the keyboard drawing on the key assignment page: the skin's key
// picture with its label, the frame picture while it is under the pointer,
// selected or changed from its default. A click selects it; pressing and
// moving drags a copy of it (the model runs the drag).
import QtQuick 2.15

Item {
    id: key
    property Item keyModel: null
    property int keyType: 0
    property string name: ""
    property int matrix: -1
    property int keyCode: 0
    property int keyCode_Default: 0
    property int font_Size: keyModel !== null ? keyModel.labelSize(matrix, mainIten.lang) : 9
    readonly property bool isDefault: keyCode === keyCode_Default
    readonly property bool selected: keyModel !== null && keyModel.curKeyMatrix === matrix
    readonly property bool hovered: area.containsMouse
    readonly property bool dragging: keyModel !== null && keyModel.dragingKey === key
    readonly property string shownName: (matrix === 83 && mainIten.layout === 1) ? "<" : name
    readonly property string skinBase: "file:modules/img/skin" + mainIten.skin_No + "/model_kb/k" + keyType

    width: keyType > 0 && face.status === Image.Ready ? face.implicitWidth : 25
    height: keyType > 0 && face.status === Image.Ready ? face.implicitHeight : 25
    z: dragging ? 10 : 0

    function select() {
        if (!enabled || keyModel === null)
            return
        keyModel.selectKey(key)
    }

    activeFocusOnTab: enabled
    Accessible.role: Accessible.Button
    Accessible.name: shownName
    Accessible.focusable: true
    Accessible.onPressAction: key.select()
    // The page's M1..M4 over the profile keys are what a reader announces;
    // these would name each profile a second time, disabled.
    Accessible.ignored: matrix >= 116 && matrix <= 119
    Keys.onSpacePressed: key.select()
    Keys.onReturnPressed: key.select()

    Image {
        id: face
        anchors.fill: parent
        visible: key.keyType > 0
        source: key.keyType > 0 ? key.skinBase + "-0.png" : ""
    }
    Image {
        id: frame
        objectName: "key_" + key.matrix + "_frame"
        anchors.fill: parent
        source: key.keyType > 0 ? key.skinBase + "-1.png" : ""
        visible: key.keyType > 0 && (key.hovered || key.selected || !key.isDefault || key.activeFocus)
        opacity: (key.hovered || key.selected || key.activeFocus) ? 1.0 : 0.5
    }
    Text {
        objectName: "key_" + key.matrix + "_label"
        // The page's own M1..M4 stand over the profile keys.
        visible: key.matrix < 116 || key.matrix > 119
        anchors.fill: parent
        anchors.margins: 1
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        wrapMode: Text.WordWrap
        elide: Text.ElideRight
        text: key.shownName
        font.family: mainIten.globalSetting_fontFamily
        font.pixelSize: key.font_Size
        color: !key.enabled ? mainIten.globalSetting_color_disable
                            : (key.isDefault ? mainIten.globalSetting_color_enable : mainIten.globalSetting_color)
    }
    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        property bool moved: false
        onPressed: {
            moved = false
            if (key.keyModel)
                key.keyModel.startDrag(key, mapToItem(key.keyModel.dragSpace, mouse.x, mouse.y))
        }
        onPositionChanged: {
            if (!pressed || !key.keyModel)
                return
            moved = true
            key.keyModel.moveDrag(mapToItem(key.keyModel.dragSpace, mouse.x, mouse.y))
        }
        onReleased: {
            if (key.keyModel)
                key.keyModel.endDrag(mapToItem(key.keyModel.dragSpace, mouse.x, mouse.y))
        }
        onCanceled: {
            if (key.keyModel)
                key.keyModel.cancelDrag()
        }
        onClicked: key.select()
    }
}
