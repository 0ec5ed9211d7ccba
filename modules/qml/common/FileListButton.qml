// A drop-down whose list is a FileList: a field on the skin's file-list
// frame showing the chosen name; a click asks the owner to bring the names
// up to date (requestToUpdateList), then unrolls the list below. A click on
// a name chooses it and rolls the list up.
//
// The choice follows its name when the owner refills mdItems, so reopening
// the list keeps the name that was chosen as long as it is still there.
import QtQuick 2.15
import "SkinLook.js" as SkinLook

Item {
    id: fileButton
    property ListModel mdItems: ListModel {}
    // True while the list is unrolled.
    property bool isSelect: false
    property alias defaultIndex: chosen.index
    readonly property string currentText: chosen.index >= 0 ? chosen.name : ""
    property string namePrefix: objectName

    signal listElementClicked(int index)
    signal listOpened
    signal listClosed
    signal requestToUpdateList

    implicitWidth: 150
    implicitHeight: 26
    z: isSelect ? 50 : 0

    activeFocusOnTab: true
    Accessible.role: Accessible.ComboBox
    Accessible.name: currentText
    Accessible.focusable: true
    Accessible.onPressAction: toggleList()
    Keys.onSpacePressed: toggleList()
    Keys.onReturnPressed: toggleList()
    Keys.onEnterPressed: toggleList()
    Keys.onEscapePressed: closeList()

    // Shows entry index without telling anyone; an index outside the list
    // shows nothing chosen.
    function setCurIndex(index) {
        if (index >= 0 && index < mdItems.count) {
            var name = mdItems.get(index).textX
            chosen.name = (name === undefined || name === null) ? "" : String(name)
            chosen.index = index
        } else {
            chosen.name = ""
            chosen.index = -1
        }
        list.lvItems.currentIndex = chosen.index
    }

    function getCurIndex() {
        return chosen.index
    }

    function showList() {
        if (isSelect || !enabled)
            return
        requestToUpdateList()
        list.lvItems.currentIndex = chosen.index
        if (chosen.index >= 0)
            list.lvItems.positionViewAtIndex(chosen.index, ListView.Contain)
        isSelect = true
        listOpened()
    }

    function closeList() {
        if (!isSelect)
            return
        isSelect = false
        listClosed()
    }

    function toggleList() {
        if (isSelect)
            closeList()
        else
            showList()
    }

    function chooseEntry(index) {
        if (!enabled || index < 0 || index >= mdItems.count)
            return
        setCurIndex(index)
        closeList()
        listElementClicked(index)
    }

    onEnabledChanged: if (!enabled) closeList()
    onMdItemsChanged: chosen.follow()

    QtObject {
        id: chosen
        property int index: -1
        property string name: ""

        // Finds the chosen name again after the rows changed.
        function follow() {
            var found = -1
            if (name !== "") {
                for (var i = 0; i < fileButton.mdItems.count; ++i) {
                    if (String(fileButton.mdItems.get(i).textX) === name) {
                        found = i
                        break
                    }
                }
            }
            index = found
            list.lvItems.currentIndex = found
        }
    }

    Connections {
        target: fileButton.mdItems
        function onRowsInserted() { chosen.follow() }
        function onRowsRemoved() { chosen.follow() }
        function onModelReset() { chosen.follow() }
        function onDataChanged() {
            // A chosen row renamed in place stays chosen under its new name.
            if (chosen.index >= 0 && chosen.index < fileButton.mdItems.count)
                chosen.name = String(fileButton.mdItems.get(chosen.index).textX)
        }
    }

    Image {
        anchors.fill: parent
        source: mainIten.sourceBtnFileListFrame
    }

    Rectangle {
        anchors.fill: parent
        visible: fileButton.activeFocus
        color: "transparent"
        radius: 5
        border.color: SkinLook.accent(mainIten.skin_No)
    }

    Text {
        objectName: fileButton.namePrefix + "_text"
        anchors.left: parent.left
        anchors.leftMargin: 9
        anchors.right: parent.right
        anchors.rightMargin: 24
        anchors.verticalCenter: parent.verticalCenter
        elide: Text.ElideRight
        text: fileButton.currentText
        font.family: mainIten.globalSetting_fontFamily
        font.pixelSize: mainIten.globalSetting_size
        color: !fileButton.enabled ? mainIten.globalSetting_color_disable
                                   : (fieldArea.containsMouse || fileButton.isSelect ? mainIten.globalSetting_color_enable
                                                                                     : mainIten.globalSetting_color)
    }

    MouseArea {
        id: fieldArea
        objectName: fileButton.namePrefix + "_field"
        anchors.fill: parent
        hoverEnabled: true
        onClicked: fileButton.toggleList()
    }

    Item {
        id: popup
        objectName: fileButton.namePrefix + "_popup"
        property real unroll: fileButton.isSelect ? 1 : 0
        Behavior on unroll {
            NumberAnimation {
                duration: 0.3 * mainIten.animation_speed
                easing.type: Easing.OutCubic
            }
        }

        x: (fileButton.width - list.width) / 2
        y: fileButton.height
        width: list.width
        height: list.height * unroll
        clip: true
        visible: height > 0

        FileList {
            id: list
            objectName: fileButton.namePrefix + "_list"
            namePrefix: fileButton.namePrefix
            mdItems: fileButton.mdItems
            toggleSelection: false
            enabled: fileButton.isSelect
            // Dimmed only with the field itself.
            opacity: 1.0
            onListElementClicked: fileButton.chooseEntry(index)
        }
    }
}
