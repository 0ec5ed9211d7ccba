// A row of toggle buttons on the skin's button-group picture, four by
// default. A click chooses a button, or un-chooses the chosen one (with
// allowDeselect), and emits clicked with the button pressed; currentIndex
// is the chosen button, -1 for none. Each button shows its entry of
// valueForIndex.
//
// The eight-button group builds on this one with its own pictures and
// labels; buttons are named <objectName>_button<n>.
import QtQuick 2.15
import "SkinLook.js" as SkinLook

Item {
    id: group
    property var valueForIndex: []
    property int currentIndex: -1
    property bool allowDeselect: true
    property string namePrefix: objectName
    property int buttonCount: 4
    // What each button shows; the eight-button group shows menu texts.
    property var labels: valueForIndex
    property url baseSource: mainIten.sourceBtnGroup_4_BASE
    property url fillerSource0: mainIten.sourceBtnGroup_FILLER_0
    property url fillerSource1: mainIten.sourceBtnGroup_FILLER_1
    readonly property int buttonWidth: 40

    signal clicked(int index)
    // For the eight-button group's menu.
    signal buttonRightClicked(int index)

    implicitWidth: buttonCount * buttonWidth + 4
    implicitHeight: 26
    opacity: enabled ? 1.0 : 0.5

    activeFocusOnTab: true
    Accessible.role: Accessible.Grouping
    Accessible.name: "Buttons"
    Accessible.focusable: true
    Keys.onLeftPressed: if (currentIndex > 0) press(currentIndex - 1)
    Keys.onRightPressed: if (currentIndex < buttonCount - 1) press(currentIndex + 1)

    function labelAt(index) {
        var v = labels ? labels[index] : undefined
        return (v === undefined || v === null) ? "" : String(v)
    }

    function press(index) {
        if (!enabled || index < 0 || index >= buttonCount)
            return
        currentIndex = (allowDeselect && currentIndex === index) ? -1 : index
        clicked(index)
    }

    Image {
        anchors.fill: parent
        source: group.baseSource
    }

    Rectangle {
        anchors.fill: parent
        visible: group.activeFocus
        color: "transparent"
        radius: 5
        border.color: SkinLook.accent(mainIten.skin_No)
    }

    Repeater {
        model: group.buttonCount

        Item {
            id: button
            objectName: group.namePrefix + "_button" + index
            x: 2 + index * group.buttonWidth
            width: group.buttonWidth
            height: group.height
            readonly property bool chosen: index === group.currentIndex
            readonly property string label: group.labelAt(index)

            Accessible.role: Accessible.Button
            Accessible.name: label !== "" ? label : "Button " + (index + 1)
            Accessible.checkable: true
            Accessible.checked: chosen
            Accessible.onPressAction: group.press(index)
            Accessible.onToggleAction: group.press(index)

            Image {
                anchors.fill: parent
                source: button.chosen ? group.fillerSource1 : group.fillerSource0
                opacity: button.chosen || buttonArea.containsMouse ? 1.0 : 0.75
            }

            Text {
                anchors.fill: parent
                anchors.margins: 2
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
                elide: Text.ElideRight
                text: button.label
                font.family: mainIten.globalSetting_fontFamily
                font.pixelSize: mainIten.globalSetting_size
                color: !group.enabled ? mainIten.globalSetting_color_disable
                                      : (button.chosen || buttonArea.containsMouse ? mainIten.globalSetting_color_enable
                                                                                   : mainIten.globalSetting_color)
            }

            MouseArea {
                id: buttonArea
                anchors.fill: parent
                hoverEnabled: true
                acceptedButtons: Qt.LeftButton | Qt.RightButton
                onClicked: {
                    if (mouse.button === Qt.RightButton)
                        group.buttonRightClicked(index)
                    else
                        group.press(index)
                }
            }
        }
    }
}
