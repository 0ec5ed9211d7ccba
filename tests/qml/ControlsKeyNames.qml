// Stand-in for the key-name converter (id _KeyCodeString): a few USB usage
// codes with the English names of the key-code definitions.
import QtQuick 2.15

QtObject {
    readonly property var names: ({
        4: "A",
        5: "B",
        41: "Esc",
        51: "; :",
        57: "Caps",
        225: "L Shift"
    })

    function keycodeTostr(code) {
        var name = names[code]
        return name === undefined ? "" : name
    }
}
