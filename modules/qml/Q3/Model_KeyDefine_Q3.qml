// The keyboard drawing of the key assignment page, built once from the
// hardware table: one key item per row, placed at getKey[matrix], and plain
// placeholders (matrix -1, code 0) for the positions without a key, so that
// getKey always covers the keyboard's 128 matrix positions.
import QtQuick 2.15

Item {
    id: modelQ3
    property var getKey: []
    property int curKeyMatrix: 0
    property var dragingKey: null
    // Where drag positions are measured (the page).
    property Item dragSpace: parent
    // The pointer during a drag, in dragSpace's coordinates.
    property point dragPos: Qt.point(0, 0)
    readonly property int positions: 128
    readonly property var protectedKeys: [89, 116, 117, 118, 119]

    signal keySelected(int matrix)
    signal dragMoved(point pos)
    // A drag ended with the pointer at pos (dragSpace's coordinates).
    signal dragKey(var key, point pos)

    implicitWidth: 720
    implicitHeight: 240

    function isProtected(matrix) {
        return protectedKeys.indexOf(matrix) >= 0
    }

    // The label size of a key; labels of other languages are longer.
    function labelSize(matrix, lang) {
        if (matrix === 83)
            return 14
        if (lang !== 0) {
            if ([13, 14, 15, 29, 48, 96, 115].indexOf(matrix) >= 0)
                return 7
            if (matrix === 85)
                return 16
            if (matrix === 28)
                return 12
        }
        return 9
    }

    function placeholder() {
        return { "matrix": -1, "keyType": 0, "name": "", "keyCode": 0, "keyCode_Default": 0 }
    }

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
        var component = Qt.createComponent("Key_KeyDefine.qml")
        if (component.status !== Component.Ready) {
            console.log("Error loading component:", component.errorString())
        } else {
            var hw = Array.isArray(hwDef) ? hwDef : []
            var rows = hw.length >= 2 ? intOf(hw[0]) : 0
            rows = Math.max(0, Math.min(rows === undefined ? 0 : rows, Math.floor((hw.length - 2) / 6)))
            var total = intOf(hw[1])
            if (total !== undefined && total !== positions)
                console.log("Key table: total_FW", total, "read as the keyboard's", positions, "positions")
            for (var r = 0; r < rows; ++r) {
                var b = 2 + 6 * r
                var matrix = intOf(hw[b + 4])
                // A row outside the matrix or for a position already taken
                // would put a key where APPLY cannot send it.
                if (matrix === undefined || matrix < 0 || matrix >= positions || keys[matrix] !== null) {
                    console.log("Key table: row", r + 1, "skipped, matrix", hw[b + 4])
                    continue
                }
                var code = intOf(hw[b + 5])
                code = (code === undefined || code < 0 || code > 0xFFFF) ? 0 : code
                var type = intOf(hw[b + 2])
                var key = component.createObject(keyLayer, {
                    "objectName": "key_" + matrix,
                    "keyModel": modelQ3,
                    "x": Number(hw[b]) || 0,
                    "y": Number(hw[b + 1]) || 0,
                    "keyType": (type === undefined || type < 0) ? 0 : type,
                    "name": hw[b + 3] === undefined || hw[b + 3] === null ? "" : String(hw[b + 3]),
                    "matrix": matrix,
                    "keyCode": code,
                    "keyCode_Default": code,
                    "enabled": !isProtected(matrix)
                })
                if (key === null) {
                    console.log("Error creating key:", r)
                    continue
                }
                keys[matrix] = key
            }
        }
        for (var i = 0; i < positions; ++i) {
            if (keys[i] === null)
                keys[i] = placeholder()
        }
        getKey = keys
    }

    function selectKey(key) {
        if (!key || key.matrix < 0 || isProtected(key.matrix))
            return
        curKeyMatrix = key.matrix
        keySelected(key.matrix)
    }

    function startDrag(key, pos) {
        if (!key || isProtected(key.matrix))
            return
        dragingKey = key
        dragPos = pos
    }

    function moveDrag(pos) {
        if (dragingKey === null)
            return
        dragPos = pos
        dragMoved(pos)
    }

    function endDrag(pos) {
        if (dragingKey === null)
            return
        var key = dragingKey
        dragPos = pos
        dragingKey = null
        dragKey(key, pos)
    }

    function cancelDrag() {
        dragingKey = null
    }

    Item {
        id: keyLayer
        anchors.fill: parent
    }

    Image {
        objectName: "keyboardLogo"
        // Above the numeric block, clear of the keys.
        x: 587
        y: 8
        source: mainIten.sourceKeyboardLogo
    }
}
