// A drop-down list: a field on the skin's drop-down picture showing the
// chosen entry; a click on it unrolls the list below by sliding it open, a
// click on an entry chooses it and rolls the list up again.
//
// mdItems holds the entries (role textX, the shown text; other roles ride
// along for the owner). Entries are named <objectName>_item<n> for tests and
// screen readers, the list itself <objectName>_list.
import QtQuick 2.15
import "SkinLook.js" as SkinLook

Item {
    id: dropdown
    property ListModel mdItems: ListModel {}
    // True while the list is unrolled.
    property bool isSelect: false
    property alias defaultIndex: chosen.index
    readonly property string currentText: chosen.text
    property string namePrefix: objectName
    property int itemHeight: 22
    // More entries than this scroll inside the list.
    property int maxVisibleItems: 8

    signal listElementClicked(int index)
    signal listOpened
    signal listClosed

    implicitWidth: 140
    implicitHeight: 22
    // The unrolled list hangs below the field over whatever follows it.
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
    Keys.onUpPressed: step(-1)
    Keys.onDownPressed: step(1)

    // Shows entry index without telling anyone; an index outside the list
    // shows nothing chosen.
    function setCurIndex(index) {
        chosen.index = (index >= 0 && index < mdItems.count) ? index : -1
        chosen.refresh()
    }

    function getCurIndex() {
        return chosen.index
    }

    function showList() {
        if (isSelect || !enabled)
            return
        isSelect = true
        if (chosen.index >= 0)
            view.positionViewAtIndex(chosen.index, ListView.Contain)
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

    // The user chose entry index, by pointer, keyboard or screen reader.
    function chooseEntry(index) {
        if (!enabled || index < 0 || index >= mdItems.count)
            return
        setCurIndex(index)
        closeList()
        listElementClicked(index)
    }

    function step(delta) {
        if (mdItems.count === 0)
            return
        var next = chosen.index < 0 ? 0 : chosen.index + delta
        if (next >= 0 && next < mdItems.count && next !== chosen.index)
            chooseEntry(next)
    }

    onEnabledChanged: if (!enabled) closeList()
    onMdItemsChanged: chosen.refresh()

    QtObject {
        id: chosen
        property int index: -1
        property string text: ""

        function refresh() {
            if (index >= dropdown.mdItems.count)
                index = -1
            var t = index >= 0 ? dropdown.mdItems.get(index).textX : ""
            text = (t === undefined || t === null) ? "" : String(t)
        }

        onIndexChanged: refresh()
    }

    // Texts change in place when the language changes.
    Connections {
        target: dropdown.mdItems
        function onDataChanged() { chosen.refresh() }
        function onRowsInserted() { chosen.refresh() }
        function onRowsRemoved() { chosen.refresh() }
        function onModelReset() { chosen.refresh() }
    }

    Image {
        id: field
        anchors.fill: parent
        source: mainIten.sourceSlider
    }

    Text {
        objectName: dropdown.namePrefix + "_text"
        anchors.left: parent.left
        anchors.leftMargin: 8
        anchors.right: parent.right
        anchors.rightMargin: 20
        anchors.verticalCenter: parent.verticalCenter
        elide: Text.ElideRight
        text: dropdown.currentText
        font.family: mainIten.globalSetting_fontFamily
        font.pixelSize: mainIten.globalSetting_size
        color: !dropdown.enabled ? mainIten.globalSetting_color_disable
                                 : (fieldArea.containsMouse || dropdown.isSelect ? mainIten.globalSetting_color_enable
                                                                                 : mainIten.globalSetting_color)
    }

    Rectangle {
        anchors.fill: parent
        visible: dropdown.activeFocus
        color: "transparent"
        radius: 4
        border.color: SkinLook.accent(mainIten.skin_No)
    }

    MouseArea {
        id: fieldArea
        objectName: dropdown.namePrefix + "_field"
        anchors.fill: parent
        hoverEnabled: true
        onClicked: dropdown.toggleList()
    }

    Item {
        id: popup
        objectName: dropdown.namePrefix + "_list"
        readonly property real fullHeight: Math.min(dropdown.mdItems.count, dropdown.maxVisibleItems) * dropdown.itemHeight + 2
        property real unroll: dropdown.isSelect ? 1 : 0
        Behavior on unroll {
            NumberAnimation {
                duration: 0.3 * mainIten.animation_speed
                easing.type: Easing.OutCubic
            }
        }

        y: dropdown.height
        width: dropdown.width
        height: dropdown.mdItems.count > 0 ? fullHeight * unroll : 0
        clip: true
        visible: height > 0

        Accessible.role: Accessible.List
        Accessible.name: dropdown.currentText

        Rectangle {
            width: parent.width
            height: popup.fullHeight
            color: SkinLook.well(mainIten.skin_No)
            border.color: SkinLook.edge(mainIten.skin_No)
            radius: 3
        }

        ListView {
            id: view
            x: 1
            y: 1
            width: parent.width - 2
            height: popup.fullHeight - 2
            model: dropdown.mdItems
            clip: true
            boundsBehavior: Flickable.StopAtBounds
            interactive: dropdown.mdItems.count > dropdown.maxVisibleItems

            delegate: Item {
                id: entry
                objectName: dropdown.namePrefix + "_item" + index
                width: view.width
                height: dropdown.itemHeight
                readonly property bool isCurrent: index >= 0 && index === chosen.index

                Accessible.role: Accessible.ListItem
                Accessible.name: model.textX
                Accessible.selectable: true
                Accessible.selected: isCurrent
                Accessible.onPressAction: dropdown.chooseEntry(index)

                Rectangle {
                    anchors.fill: parent
                    color: entry.isCurrent ? SkinLook.accentFaint(mainIten.skin_No)
                                           : (entryArea.containsMouse ? SkinLook.hover(mainIten.skin_No) : "transparent")
                }
                Text {
                    anchors.left: parent.left
                    anchors.leftMargin: 7
                    anchors.right: parent.right
                    anchors.rightMargin: 4
                    anchors.verticalCenter: parent.verticalCenter
                    elide: Text.ElideRight
                    text: model.textX
                    font.family: mainIten.globalSetting_fontFamily
                    font.pixelSize: mainIten.globalSetting_size
                    color: entryArea.containsMouse || entry.isCurrent ? mainIten.globalSetting_color_enable
                                                                      : mainIten.globalSetting_color
                }
                MouseArea {
                    id: entryArea
                    anchors.fill: parent
                    hoverEnabled: true
                    enabled: dropdown.isSelect
                    onClicked: dropdown.chooseEntry(index)
                }
            }
        }
    }
}
