// The bottom menu: ALL RESET puts the pages back to their defaults, ALL SAVE
// applies them all. Each locks the window while the pages do their work.
import QtQuick 2.15
import "../common/SkinLook.js" as SkinLook

Item {
    id: menuDown

    // ALL RESET: the key and lighting pages go back to their defaults, the
    // root to the language of the keyboard's layout.
    signal btnTotalResetClicked
    // ALL SAVE, first for the lighting page, then for the key page.
    signal btntextgisned
    signal btnTotalApplyClicked

    readonly property int resetLockMs: 800
    readonly property int saveLockMs: 2000

    width: 1000
    height: 49

    function totalReset() {
        if (!enabled)
            return
        mainIten.setProtectUI(resetLockMs)
        btnTotalResetClicked()
        mainIten.controlMenu()
    }

    function totalSave() {
        if (!enabled || mainIten.keyboardConnected === false)
            return
        mainIten.setProtectUI(saveLockMs)
        btntextgisned()
        btnTotalApplyClicked()
        mainIten.controlMenu()
    }

    // The images follow the skin properties by binding; nothing to reload.
    function setSkin() {
    }

    function buttonText(index, fallback) {
        var list = mainIten.globalSetting_stringList
        var text = list ? list[index] : undefined
        return (text === undefined || text === null) ? fallback : String(text)
    }

    Image {
        anchors.fill: parent
        source: mainIten.sourceListDnContainer
    }

    Repeater {
        model: [
            { name: "allResetButton", x: 337, textIndex: 113, fallback: "ALL RESET" },
            { name: "allSaveButton", x: 504, textIndex: 114, fallback: "ALL SAVE" }
        ]
        delegate: Item {
            id: button
            objectName: modelData.name
            // ALL SAVE sends every page to the keyboard.
            enabled: index === 0 || mainIten.keyboardConnected !== false
            x: modelData.x
            anchors.verticalCenter: parent.verticalCenter
            width: face.status === Image.Ready ? face.implicitWidth : 158
            height: face.status === Image.Ready ? face.implicitHeight : 34
            opacity: !enabled ? 0.5 : area.pressed ? 0.8 : 1.0

            function press() {
                if (typeof ui_View !== "undefined")
                    ui_View.playMedia_Index(4)
                if (index === 0)
                    menuDown.totalReset()
                else
                    menuDown.totalSave()
            }

            activeFocusOnTab: true
            Accessible.role: Accessible.Button
            Accessible.name: label.text
            Accessible.focusable: true
            Accessible.onPressAction: button.press()
            Keys.onSpacePressed: button.press()
            Keys.onReturnPressed: button.press()
            Keys.onEnterPressed: button.press()

            Image {
                id: face
                anchors.fill: parent
                source: mainIten.sourceListDownButtonBg
            }
            Text {
                id: label
                anchors.centerIn: parent
                anchors.verticalCenterOffset: -1
                text: menuDown.buttonText(modelData.textIndex, modelData.fallback)
                font.family: mainIten.globalSetting_fontFamily
                font.pixelSize: mainIten.globalSetting_size
                color: area.containsMouse ? mainIten.globalSetting_color_enable : mainIten.globalSetting_color_disable
            }
            Rectangle {
                anchors.fill: parent
                visible: button.activeFocus
                color: "transparent"
                radius: 3
                border.width: 1
                border.color: SkinLook.accent(mainIten.skin_No)
            }
            MouseArea {
                id: area
                anchors.fill: parent
                hoverEnabled: true
                onClicked: button.press()
            }
        }
    }
}
