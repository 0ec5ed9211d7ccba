// The field that shows the key a standard key code stands for (the KEYBOARD
// field of the key page). It shows the key's name, on a Spanish keyboard
// (layout 1) the name printed there; the empty-state text when no key, or a
// code without a name, is shown; "╳" under the pointer. A click clears the
// key and emits clearKey, upon which the owner sets the key's code to 0.
//
// Names come from the key-name converter _KeyCodeString of the keyboard's
// main page.
import QtQuick 2.15
import "SkinLook.js" as SkinLook

Item {
    id: keyInput
    property int keycodeUSB: -1
    property string keyname: ""
    property string keynameDefault: mainIten.lang === 0 ? "【 KEYS 】" : "【 TECLAS 】"
    property string keycancel: "╳"
    property string namePrefix: objectName
    // What the field shows now.
    readonly property string shownText: area.containsMouse ? keycancel
                                                           : (keyname !== "" ? keyname : keynameDefault)
    signal clearKey

    implicitWidth: 151
    implicitHeight: 28
    opacity: enabled ? 1.0 : 0.5

    activeFocusOnTab: true
    Accessible.role: Accessible.Button
    Accessible.name: keyname !== "" ? keyname : keynameDefault
    Accessible.description: "Press to clear the key"
    Accessible.focusable: true
    Accessible.onPressAction: clear()
    Keys.onDeletePressed: clear()
    Keys.onSpacePressed: clear()

    // The name to show for USB code keycode, or "" when it has none (on a
    // Spanish keyboard also when the Spanish table has no entry for it).
    function nameOf(keycode) {
        if (keycode < 0 || typeof _KeyCodeString === "undefined")
            return ""
        var name = _KeyCodeString.keycodeTostr(keycode)
        if (name === undefined || name === null || name === "")
            return ""
        if (mainIten.layout === 1) {
            var spanish = mainIten.enTosp ? mainIten.enTosp[name] : undefined
            return (spanish === undefined || spanish === null) ? "" : String(spanish)
        }
        return String(name)
    }

    // Shows the key of a USB code; a code without a name clears the field.
    function setKeycodeUSB(keycode) {
        var name = nameOf(keycode)
        if (name === "") {
            keycodeUSB = -1
            keyname = ""
        } else {
            keycodeUSB = keycode
            keyname = name
        }
    }

    function clear() {
        if (!enabled)
            return
        keycodeUSB = -1
        keyname = ""
        clearKey()
    }

    // The names differ between the two keyboard layouts.
    Connections {
        target: mainIten
        function onLayoutChanged() {
            if (keyInput.keycodeUSB >= 0)
                keyInput.setKeycodeUSB(keyInput.keycodeUSB)
        }
    }

    BorderImage {
        anchors.fill: parent
        source: mainIten.sourceBtnFrame
        border.left: 8
        border.right: 8
        border.top: 8
        border.bottom: 8
    }

    Rectangle {
        anchors.fill: parent
        visible: keyInput.activeFocus
        color: "transparent"
        radius: 5
        border.color: SkinLook.accent(mainIten.skin_No)
    }

    Text {
        objectName: keyInput.namePrefix + "_text"
        anchors.fill: parent
        anchors.leftMargin: 6
        anchors.rightMargin: 6
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
        text: keyInput.shownText
        font.family: mainIten.globalSetting_fontFamily
        font.pixelSize: mainIten.globalSetting_size
        color: !keyInput.enabled ? mainIten.globalSetting_color_disable
                                 : (area.containsMouse || keyInput.keyname !== "" ? mainIten.globalSetting_color_enable
                                                                                  : mainIten.globalSetting_color)
    }

    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        onClicked: keyInput.clear()
    }
}
