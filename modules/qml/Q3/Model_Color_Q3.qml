// The lighting page's keyboard drawing, built once from the hardware table
// like the key page's: one Key_ColorPro per row of the table at its matrix
// number. The preview item paints all keys with their light; pressing and
// dragging over the drawing (only while painting is allowed) draws the
// selection rectangle, and its release chooses every key it meets.
import QtQuick 2.15
import Gearpanel 1.0

Item {
    id: model
    property var getKey: []
    readonly property int positions: 128
    readonly property alias preview: preview
    // Painting is possible in the PAINTING group only.
    property bool paintingEnabled: false
    property color paintColor: "red"
    // Matrix numbers of the keys the last selection chose.
    property var selection: []

    // The user chose keys to paint, by rectangle or one key at a time.
    signal keysPainted(var matrices)

    implicitWidth: 720
    implicitHeight: 240

    function intOf(value) {
        var n = Number(value)
        return (value !== null && value !== "" && isFinite(n) && Math.floor(n) === n) ? n : undefined
    }

    // Builds the drawing; later calls do nothing, the keys exist once.
    function build(hwDef) {
        if (getKey.length > 0)
            return
        var keys = []
        for (var p = 0; p < positions; ++p)
            keys.push(null)
        var geometry = []
        var component = Qt.createComponent("Key_ColorPro.qml")
        if (component.status !== Component.Ready) {
            console.log("Error loading component:", component.errorString())
        } else {
            var hw = Array.isArray(hwDef) ? hwDef : []
            var rows = hw.length >= 2 ? intOf(hw[0]) : 0
            rows = Math.max(0, Math.min(rows === undefined ? 0 : rows, Math.floor((hw.length - 2) / 6)))
            for (var r = 0; r < rows; ++r) {
                var b = 2 + 6 * r
                var matrix = intOf(hw[b + 4])
                // A row outside the matrix or for a position already taken
                // has no place in a picture.
                if (matrix === undefined || matrix < 0 || matrix >= positions || keys[matrix] !== null)
                    continue
                var type = intOf(hw[b + 2])
                var key = component.createObject(keyLayer, {
                    "objectName": "colorKey_" + matrix,
                    "keyModel": model,
                    "x": Number(hw[b]) || 0,
                    "y": Number(hw[b + 1]) || 0,
                    "keyType": (type === undefined || type < 0) ? 0 : type,
                    "name": hw[b + 3] === undefined || hw[b + 3] === null ? "" : String(hw[b + 3]),
                    "matrix": matrix
                })
                if (key === null)
                    continue
                keys[matrix] = key
                geometry.push([matrix, key.x, key.y, key.width, key.height, key.keyType])
            }
        }
        getKey = keys
        preview.setKeys(geometry)
    }

    function keyAt(matrix) {
        return (matrix >= 0 && matrix < getKey.length) ? getKey[matrix] : null
    }

    function clearSelection() {
        for (var i = 0; i < getKey.length; ++i) {
            if (getKey[i])
                getKey[i].selected = false
        }
        selection = []
    }

    function select(matrices) {
        clearSelection()
        for (var i = 0; i < matrices.length; ++i) {
            var key = keyAt(matrices[i])
            if (key)
                key.selected = true
        }
        selection = matrices
    }

    // The matrix numbers of the keys whose rectangles meet r (this item's
    // coordinates).
    function keysIn(r) {
        var found = []
        for (var i = 0; i < getKey.length; ++i) {
            var k = getKey[i]
            if (!k)
                continue
            if (k.x < r.x + r.width && r.x < k.x + k.width && k.y < r.y + r.height && r.y < k.y + k.height)
                found.push(i)
        }
        return found
    }

    function paintRect(r) {
        if (!paintingEnabled)
            return
        var found = keysIn(r)
        select(found)
        if (found.length > 0)
            keysPainted(found)
    }

    function paintKey(matrix) {
        if (!paintingEnabled || keyAt(matrix) === null)
            return
        select([matrix])
        keysPainted([matrix])
    }

    LightingPreview {
        id: preview
        objectName: "colorPreview"
        // The profile keys stand left of the drawing; the preview reaches
        // out to them rather than cutting them off.
        readonly property real overhangX: Math.min(0, keyBounds.x)
        readonly property real overhangY: Math.min(0, keyBounds.y)
        x: overhangX
        y: overhangY
        width: model.width - overhangX
        height: model.height - overhangY
        origin: Qt.point(overhangX, overhangY)
        faceFolder: "file:modules/img/skin" + mainIten.skin_No + "/model_kb/"
    }

    Item {
        id: keyLayer
        anchors.fill: parent
    }

    Image {
        objectName: "keyboardLogo"
        x: 587
        y: 8
        source: mainIten.sourceKeyboardLogo
    }

    // The selection rectangle: the paint colour, its border full and its
    // inside at half transparency.
    Rectangle {
        id: band
        objectName: "selectionRect"
        visible: area.pressed && model.paintingEnabled
        x: Math.min(area.startX, area.mouseX)
        y: Math.min(area.startY, area.mouseY)
        width: Math.abs(area.mouseX - area.startX)
        height: Math.abs(area.mouseY - area.startY)
        color: Qt.rgba(model.paintColor.r, model.paintColor.g, model.paintColor.b, 0.5)
        border.width: 1
        border.color: model.paintColor
    }

    MouseArea {
        id: area
        objectName: "paintArea"
        anchors.fill: parent
        enabled: model.paintingEnabled
        property real startX: 0
        property real startY: 0
        onPressed: {
            startX = mouse.x
            startY = mouse.y
            model.clearSelection()
        }
        onReleased: {
            model.paintRect(Qt.rect(Math.min(startX, mouse.x), Math.min(startY, mouse.y),
                                    Math.abs(mouse.x - startX), Math.abs(mouse.y - startY)))
        }
    }
}
