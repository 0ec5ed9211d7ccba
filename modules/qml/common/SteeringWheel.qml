// A two-way direction chooser on the skin's steering picture: the left half
// chooses "◄" (index 2), the right half "►" (index 1), as the lighting
// page counts directions. The chosen arrow is lit in the skin's accent, the
// others drawn in textColor, under the pointer in textColor1; textSize + 2
// is the arrows' size in pixels (the picture's own arrows at 12).
import QtQuick 2.15
import "SkinLook.js" as SkinLook

Item {
    id: steering
    property int currentIndex: 1
    property int textSize: 12
    // Arrows not chosen, and under the pointer.
    property color textColor: "#4e4e4e"
    property color textColor1: "#7f7f7f"
    property string namePrefix: objectName
    signal wheelClicked(int index)

    implicitWidth: 90
    implicitHeight: 30
    opacity: enabled ? 1.0 : 0.5

    activeFocusOnTab: true
    Accessible.role: Accessible.Grouping
    Accessible.name: "Direction"
    Accessible.focusable: true
    Keys.onLeftPressed: chooseDirection(2)
    Keys.onRightPressed: chooseDirection(1)

    function chooseDirection(index) {
        if (!enabled)
            return
        currentIndex = index
        wheelClicked(index)
    }

    Image {
        anchors.fill: parent
        source: mainIten.sourceSteelBG
    }

    Rectangle {
        anchors.fill: parent
        visible: steering.activeFocus
        color: "transparent"
        radius: height / 2
        border.color: SkinLook.accent(mainIten.skin_No)
    }

    Repeater {
        model: [
            { index: 2, name: "Left", suffix: "_left" },
            { index: 1, name: "Right", suffix: "_right" }
        ]

        Item {
            id: half
            objectName: steering.namePrefix + modelData.suffix
            x: modelData.index === 2 ? 0 : steering.width / 2
            width: steering.width / 2
            height: steering.height
            readonly property bool chosen: steering.currentIndex === modelData.index

            Accessible.role: Accessible.RadioButton
            Accessible.name: modelData.name
            Accessible.checkable: true
            Accessible.checked: chosen
            Accessible.onPressAction: steering.chooseDirection(modelData.index)

            // Drawn over the picture's own faint arrow, at its place and shape.
            Canvas {
                id: arrow
                readonly property real size: steering.textSize + 2
                readonly property real direction: modelData.index === 1 ? 1 : -1
                readonly property color fill: half.chosen ? SkinLook.accent(mainIten.skin_No)
                                                          : (halfArea.containsMouse ? steering.textColor1
                                                                                    : steering.textColor)
                x: modelData.index === 2 ? 10 : half.width - 10 - size
                y: (half.height - size) / 2
                width: size
                height: size
                onFillChanged: requestPaint()
                onSizeChanged: requestPaint()
                onPaint: {
                    var ctx = getContext("2d")
                    ctx.reset()
                    var cx = width / 2
                    var cy = height / 2
                    ctx.fillStyle = fill
                    ctx.beginPath()
                    ctx.moveTo(cx + direction * size * 0.28, cy)
                    ctx.lineTo(cx - direction * size * 0.2, cy - size * 0.26)
                    ctx.lineTo(cx - direction * size * 0.2, cy + size * 0.26)
                    ctx.closePath()
                    ctx.fill()
                }
            }

            MouseArea {
                id: halfArea
                anchors.fill: parent
                hoverEnabled: true
                onClicked: steering.chooseDirection(modelData.index)
            }
        }
    }
}
