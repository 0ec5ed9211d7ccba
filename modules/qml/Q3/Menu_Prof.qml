// The profile menu: P01 to P04 choose the keyboard's active profile; a right
// click opens LOAD, SAVE, RESET and CANCEL for that profile's file.
import QtQuick 2.15
import "../common/SkinLook.js" as SkinLook

Item {
    id: menuProf

    // The selected profile 0 to 3.
    property int currentIndex: 0
    // A profile was chosen, or the selected one's file was replaced and the
    // pages must read it again.
    signal indexChanged_btn(int index)

    readonly property int entryWidth: 50
    readonly property int entryHeight: 30
    readonly property int entryPitch: 44
    readonly property int menuWidth: 80
    readonly property int menuEntryHeight: 20
    // The profile whose context menu is open, -1 for none.
    readonly property int menuProfile: contextMenu.profile
    readonly property bool menuOpen: contextMenu.open

    width: 66
    height: 186

    function playClick() {
        if (typeof ui_View !== "undefined")
            ui_View.playMedia_Index(4)
    }

    // A left click: another profile becomes the selected one.
    function choose(index) {
        // Choosing sends the profile to the keyboard.
        if (!enabled || mainIten.keyboardConnected === false || index < 0 || index > 3)
            return
        controlMenu()
        if (index === currentIndex)
            return
        currentIndex = index
        indexChanged_btn(index)
    }

    function openMenu(index) {
        if (!enabled || index < 0 || index > 3)
            return
        contextMenu.profile = index
        contextMenu.open = true
        var entry = entries.itemAt(index)
        var host = contextMenu.parent
        var p = entry.mapToItem(host, 0, 0)
        contextMenu.x = p.x - menuWidth - 4
        contextMenu.y = p.y
        fadeOut.stop()
        contextMenu.visible = true
        fadeIn.restart()
    }

    // Gives the keyboard focus to the open menu's first entry.
    function focusMenu() {
        var first = contextMenu.children.length > 0 ? findEntry("profileMenuLoad") : null
        if (first)
            first.forceActiveFocus()
    }
    function findEntry(name) {
        for (var i = 0; i < contextMenu.children.length; ++i) {
            if (contextMenu.children[i].objectName === name)
                return contextMenu.children[i]
        }
        return null
    }

    // Closes the context menu; asked by the root on every press elsewhere.
    function controlMenu() {
        if (!contextMenu.open)
            return
        contextMenu.open = false
        fadeIn.stop()
        fadeOut.restart()
    }

    // The context menu's choices, by row: LOAD, SAVE, RESET, CANCEL. Each
    // closes the menu first.
    function menuChoice(row) {
        var n = contextMenu.profile
        if (!contextMenu.open || n < 0)
            return
        controlMenu()
        if (typeof ui_View === "undefined")
            return
        if (row === 0) {
            ui_View.loadProfile(n)
        } else if (row === 1) {
            ui_View.saveProfile(n)
            return
        } else if (row === 2) {
            ui_View.resetProfile(n)
        } else {
            return
        }
        // Replacing another profile's file changes nothing on screen.
        if (n === currentIndex)
            indexChanged_btn(n)
    }

    function translateStrings() {
    }

    function menuText(row) {
        var indexes = [84, 85, 77, 78]
        var fallback = ["LOAD", "SAVE", "RESET", "CANCEL"]
        var list = mainIten.globalSetting_stringList
        var text = list ? list[indexes[row]] : undefined
        return (text === undefined || text === null) ? fallback[row] : String(text)
    }

    Image {
        anchors.fill: parent
        source: mainIten.sourceListPfContainer
    }

    Repeater {
        id: entries
        model: 4
        delegate: Item {
            id: entry
            objectName: "profileButton" + index
            readonly property bool selected: menuProf.currentIndex === index
            enabled: mainIten.keyboardConnected !== false
            opacity: enabled ? 1.0 : 0.5
            x: (menuProf.width - menuProf.entryWidth) / 2
            y: 8 + index * menuProf.entryPitch
            width: menuProf.entryWidth
            height: menuProf.entryHeight

            function press() {
                menuProf.playClick()
                menuProf.choose(index)
            }

            activeFocusOnTab: true
            Accessible.role: Accessible.RadioButton
            Accessible.name: label.text
            Accessible.focusable: true
            Accessible.checkable: true
            Accessible.checked: selected
            Accessible.onPressAction: entry.press()
            Keys.onSpacePressed: entry.press()
            Keys.onReturnPressed: entry.press()
            Keys.onEnterPressed: entry.press()
            // The keyboard's menu key opens the file menu, as a right click.
            Keys.onMenuPressed: {
                menuProf.playClick()
                menuProf.openMenu(index)
                menuProf.focusMenu()
            }

            Image {
                anchors.fill: parent
                source: (entry.selected || area.containsMouse) ? mainIten.sourceFW1 : mainIten.sourceFW0
            }
            Text {
                id: label
                anchors.centerIn: parent
                anchors.horizontalCenterOffset: 3
                text: "P0" + (index + 1)
                font.family: "Arial"
                font.pixelSize: mainIten.globalSetting_size
                color: (entry.selected || area.containsMouse) ? mainIten.globalSetting_color_enable
                                                              : mainIten.globalSetting_color_disable
            }
            Rectangle {
                anchors.fill: parent
                visible: entry.activeFocus
                color: "transparent"
                radius: 3
                border.width: 1
                border.color: SkinLook.accent(mainIten.skin_No)
            }
            MouseArea {
                id: area
                anchors.fill: parent
                hoverEnabled: true
                acceptedButtons: Qt.LeftButton | Qt.RightButton
                onClicked: {
                    if (mouse.button === Qt.RightButton) {
                        menuProf.playClick()
                        menuProf.openMenu(index)
                    } else {
                        entry.press()
                    }
                }
            }
        }
    }

    // Drawn in the root document when there is one, above the keyboard
    // picture that covers the space beside the menu.
    Item {
        id: contextMenu
        objectName: "profileMenu"
        parent: (typeof mainIten !== "undefined" && mainIten) ? mainIten : menuProf
        z: 90
        property int profile: -1
        property bool open: false
        width: menuProf.menuWidth
        height: 4 * menuProf.menuEntryHeight
        visible: false
        opacity: 0
        enabled: open

        Accessible.role: Accessible.PopupMenu
        Accessible.name: "Profile " + (profile + 1)

        NumberAnimation {
            id: fadeIn
            target: contextMenu
            property: "opacity"
            to: 1.0
            duration: 1.5 * mainIten.animation_speed
        }
        SequentialAnimation {
            id: fadeOut
            NumberAnimation {
                target: contextMenu
                property: "opacity"
                to: 0.0
                duration: mainIten.animation_speed
            }
            ScriptAction {
                script: contextMenu.visible = false
            }
        }

        Keys.onEscapePressed: menuProf.controlMenu()

        Rectangle {
            anchors.fill: parent
            color: SkinLook.well(mainIten.skin_No)
            border.color: SkinLook.edge(mainIten.skin_No)
            border.width: 1
            radius: 2
        }

        Repeater {
            model: ["profileMenuLoad", "profileMenuSave", "profileMenuReset", "profileMenuCancel"]
            delegate: Item {
                id: menuEntry
                objectName: modelData
                x: 0
                y: index * menuProf.menuEntryHeight
                width: menuProf.menuWidth
                height: menuProf.menuEntryHeight

                function press() {
                    menuProf.playClick()
                    menuProf.menuChoice(index)
                }

                activeFocusOnTab: true
                Accessible.role: Accessible.MenuItem
                Accessible.name: menuLabel.text
                Accessible.focusable: true
                Accessible.onPressAction: menuEntry.press()
                Keys.onSpacePressed: menuEntry.press()
                Keys.onReturnPressed: menuEntry.press()
                Keys.onEnterPressed: menuEntry.press()
                Keys.onUpPressed: nextItemInFocusChain(false).forceActiveFocus()
                Keys.onDownPressed: nextItemInFocusChain(true).forceActiveFocus()

                Rectangle {
                    anchors.fill: parent
                    anchors.margins: 1
                    color: SkinLook.hover(mainIten.skin_No)
                    visible: menuArea.containsMouse || menuEntry.activeFocus
                }
                Text {
                    id: menuLabel
                    anchors.centerIn: parent
                    text: menuProf.menuText(index)
                    font.family: mainIten.globalSetting_fontFamily
                    font.pixelSize: mainIten.globalSetting_size
                    color: (menuArea.containsMouse || menuEntry.activeFocus) ? mainIten.globalSetting_color_enable
                                                                             : mainIten.globalSetting_color_disable
                }
                MouseArea {
                    id: menuArea
                    anchors.fill: parent
                    hoverEnabled: true
                    onClicked: menuEntry.press()
                }
            }
        }
    }
}
