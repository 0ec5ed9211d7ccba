// A scrollable list of file names on the skin's list picture, with renaming
// in place (the macro page's list of macro files).
//
// A left click on a row chooses it, or un-chooses it when it was chosen
// (lvItems.currentIndex is -1 then), and emits listElementClicked with the
// row; a right click emits listElementRightBtnClicked with the row and
// leaves the choice alone.
//
// editFileName(row) turns the row into a text field holding its name, all
// selected. Enter or Return, or stopEditFileName(), ends the editing: a name
// that differs and is not empty replaces the row's text and is reported by
// editFileName_completed(oldName, newName). Escape, cancelEditFileName(),
// a click on a row or losing the focus in any other way puts the old name
// back. Every end emits editFileName_stop.
import QtQuick 2.15
import "SkinLook.js" as SkinLook

Item {
    id: fileList
    property int itemWidth: 138
    property int itemHeight: 24
    property ListModel mdItems: ListModel {}
    property alias lvItems: view
    property string namePrefix: objectName
    // The rename field's objectName.
    property string editorName: namePrefix + "_editor"
    // Whether a click on the chosen row un-chooses it.
    property bool toggleSelection: true
    // Longest name the field takes.
    property int maxNameLength: 64
    // The row being renamed, -1 when none.
    readonly property int editingIndex: edit.index

    signal listElementClicked(int index)
    signal listElementRightBtnClicked(int index)
    signal editFileName_start(int tarIndex)
    signal editFileName_stop()
    signal editFileName_completed(string oldName, string newName)

    implicitWidth: 141
    implicitHeight: 198
    opacity: enabled ? 1.0 : 0.5

    Accessible.role: Accessible.List
    Accessible.name: "Files"

    function leftClick(index) {
        if (!enabled)
            return
        cancelEditFileName()
        view.currentIndex = (toggleSelection && view.currentIndex === index) ? -1 : index
        listElementClicked(index)
    }

    function rightClick(index) {
        if (!enabled)
            return
        cancelEditFileName()
        listElementRightBtnClicked(index)
    }

    function editFileName(index) {
        if (!enabled || index < 0 || index >= mdItems.count)
            return
        cancelEditFileName()
        var name = mdItems.get(index).textX
        edit.oldName = (name === undefined || name === null) ? "" : String(name)
        edit.text = edit.oldName
        view.positionViewAtIndex(index, ListView.Contain)
        edit.index = index
        editFileName_start(index)
    }

    // Ends the editing as Enter does.
    function stopEditFileName() {
        if (edit.index < 0)
            return
        var index = edit.index
        var newName = edit.text.trim()
        edit.index = -1
        if (newName.length > 0 && newName !== edit.oldName && index < mdItems.count) {
            mdItems.setProperty(index, "textX", newName)
            editFileName_completed(edit.oldName, newName)
        }
        editFileName_stop()
    }

    // Ends the editing and keeps the old name.
    function cancelEditFileName() {
        if (edit.index < 0)
            return
        edit.index = -1
        editFileName_stop()
    }

    onEnabledChanged: if (!enabled) cancelEditFileName()

    QtObject {
        id: edit
        property int index: -1
        property string oldName: ""
        property string text: ""
    }

    // The rows move under a rename in progress when the list changes.
    Connections {
        target: fileList.mdItems
        function onRowsRemoved() { fileList.cancelEditFileName() }
        function onRowsInserted() { fileList.cancelEditFileName() }
        function onModelReset() { fileList.cancelEditFileName() }
    }

    Image {
        anchors.fill: parent
        source: mainIten.sourceFilelist
    }

    ListView {
        id: view
        objectName: fileList.namePrefix + "_view"
        x: 1
        y: 0
        width: fileList.itemWidth
        height: fileList.height
        clip: true
        model: fileList.mdItems
        // Nothing is chosen until the user chooses.
        currentIndex: -1
        boundsBehavior: Flickable.StopAtBounds

        delegate: Item {
            id: row
            objectName: fileList.namePrefix + "_item" + index
            width: fileList.itemWidth
            height: fileList.itemHeight
            readonly property bool isCurrent: index >= 0 && index === view.currentIndex
            // A row on its way out has index -1, as has "no row".
            readonly property bool editing: index >= 0 && index === edit.index

            Accessible.role: Accessible.ListItem
            Accessible.name: model.textX
            Accessible.selectable: true
            Accessible.selected: isCurrent
            Accessible.onPressAction: fileList.leftClick(index)

            Rectangle {
                anchors.fill: parent
                anchors.margins: 1
                radius: 2
                color: row.isCurrent ? SkinLook.accentFaint(mainIten.skin_No)
                                     : (rowArea.containsMouse ? SkinLook.hover(mainIten.skin_No) : "transparent")
            }

            Text {
                anchors.left: parent.left
                anchors.leftMargin: 7
                anchors.right: parent.right
                anchors.rightMargin: 4
                anchors.verticalCenter: parent.verticalCenter
                visible: !row.editing
                elide: Text.ElideRight
                text: model.textX
                font.family: mainIten.globalSetting_fontFamily
                font.pixelSize: mainIten.globalSetting_size
                color: !fileList.enabled ? mainIten.globalSetting_color_disable
                                         : (row.isCurrent || rowArea.containsMouse ? mainIten.globalSetting_color_enable
                                                                                   : mainIten.globalSetting_color)
            }

            MouseArea {
                id: rowArea
                anchors.fill: parent
                hoverEnabled: true
                enabled: !row.editing
                acceptedButtons: Qt.LeftButton | Qt.RightButton
                onClicked: {
                    if (mouse.button === Qt.RightButton)
                        fileList.rightClick(index)
                    else
                        fileList.leftClick(index)
                }
            }

            // The name field exists only while the row is renamed: a text
            // field left in every row could be handed the focus when the rows
            // of another list change, and would take the typing.
            Loader {
                anchors.fill: parent
                anchors.margins: 1
                active: row.editing
                sourceComponent: Rectangle {
                    radius: 2
                    color: SkinLook.well(mainIten.skin_No)
                    border.color: SkinLook.accent(mainIten.skin_No)

                    TextInput {
                        id: input
                        objectName: fileList.editorName
                        anchors.fill: parent
                        anchors.leftMargin: 6
                        anchors.rightMargin: 4
                        verticalAlignment: TextInput.AlignVCenter
                        clip: true
                        selectByMouse: true
                        maximumLength: fileList.maxNameLength
                        // Names become file names: no folder separators, nothing
                        // that other systems refuse, no control characters.
                        validator: RegularExpressionValidator {
                            regularExpression: /[^\/\\:*?"<>|\x00-\x1f\x7f]*/
                        }
                        text: edit.text
                        font.family: mainIten.globalSetting_fontFamily
                        font.pixelSize: mainIten.globalSetting_size
                        color: mainIten.globalSetting_color_enable
                        selectionColor: SkinLook.accent(mainIten.skin_No)

                        Accessible.role: Accessible.EditableText
                        Accessible.name: "Name"

                        Component.onCompleted: {
                            selectAll()
                            forceActiveFocus()
                        }
                        onTextChanged: if (row.editing) edit.text = text
                        onActiveFocusChanged: if (!activeFocus && row.editing) fileList.cancelEditFileName()
                        Keys.onReturnPressed: fileList.stopEditFileName()
                        Keys.onEnterPressed: fileList.stopEditFileName()
                        Keys.onEscapePressed: fileList.cancelEditFileName()
                    }
                }
            }
        }
    }
}
