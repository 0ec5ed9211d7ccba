// A key capture field (the macro page's "add a key" field). A click clears
// its key and starts listening, or stops it; while listening, the next key
// event from the desktop-wide capture (passed in through detectKeyboard),
// press or release, sets the key, ends listening and emits inputComplete
// with the key's USB code, or with -1 when the code has no name.
//
// Names are shown as on the user's keyboard: on a Spanish keyboard (layout
// 1) through enTosp, names without an entry as they are.
import QtQuick 2.15
import "SkinLook.js" as SkinLook

Item {
    id: capture
    // True while listening for a key.
    property bool isSelect: false
    property int tmpKeycodeUSB: -1
    // The key's name as shown.
    property string tmpKeyString: ""
    property alias text: label.text
    // The label before the key, and what stands in the brackets with no key.
    property string prefixText: stringAt(101)
    property string emptyText: stringAt(102)
    property color highlightColor: SkinLook.accent(mainIten.skin_No)
    property string namePrefix: objectName
    signal inputComplete(int usbCode)

    implicitWidth: 151
    implicitHeight: 24
    opacity: enabled ? 1.0 : 0.5

    // No keyboard activation: the capture sees that very key too and would
    // take its release as the key.
    Accessible.role: Accessible.Button
    Accessible.name: label.text
    Accessible.checkable: true
    Accessible.checked: isSelect
    Accessible.onPressAction: toggleListening()

    function stringAt(index) {
        var list = mainIten.globalSetting_stringList
        if (!list || index >= list.length || list[index] === undefined || list[index] === null)
            return ""
        return String(list[index])
    }

    function nameOf(keycode) {
        if (keycode < 0 || typeof _KeyCodeString === "undefined")
            return ""
        var name = _KeyCodeString.keycodeTostr(keycode)
        if (name === undefined || name === null || name === "")
            return ""
        if (mainIten.layout === 1 && mainIten.enTosp) {
            var spanish = mainIten.enTosp[name]
            if (spanish !== undefined && spanish !== null)
                return String(spanish)
        }
        return String(name)
    }

    // Sets the key without listening and without telling anyone.
    function setKeycodeUSB(keycode) {
        var name = nameOf(keycode)
        tmpKeycodeUSB = name === "" ? -1 : keycode
        tmpKeyString = name
    }

    function toggleListening() {
        if (!enabled)
            return
        setKeycodeUSB(-1)
        isSelect = !isSelect
    }

    function detectKeyboard(isDown, usbCode) {
        if (!isSelect || !enabled)
            return
        isSelect = false
        setKeycodeUSB(usbCode)
        inputComplete(tmpKeycodeUSB)
    }

    onEnabledChanged: if (!enabled) isSelect = false

    BorderImage {
        anchors.fill: parent
        source: mainIten.sourceBtnFrame
        border.left: 8
        border.right: 8
        border.top: 8
        border.bottom: 8
    }

    Text {
        id: label
        objectName: capture.namePrefix + "_text"
        anchors.fill: parent
        anchors.leftMargin: 6
        anchors.rightMargin: 6
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
        text: capture.prefixText + "【 " + (capture.tmpKeyString !== "" ? capture.tmpKeyString : capture.emptyText) + " 】"
        font.family: mainIten.globalSetting_fontFamily
        font.pixelSize: mainIten.globalSetting_size
        color: !capture.enabled ? mainIten.globalSetting_color_disable
                                : (capture.isSelect ? capture.highlightColor
                                                    : (area.containsMouse ? mainIten.globalSetting_color_enable
                                                                          : mainIten.globalSetting_color))
    }

    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        onClicked: capture.toggleListening()
    }
}
