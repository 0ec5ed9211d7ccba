// Stand-in for the native view (id ui_View) under the tests of the common
// controls: records the sounds asked for.
import QtQuick 2.15

QtObject {
    property var sounds: []

    function playMedia_Index(n) {
        sounds = sounds.concat([n])
    }

    function reset() {
        sounds = []
    }
}
