// An eleven-stop slider (0 to 10) on the skin's long track: the knob rests
// centred on the track's ticks; a press, and the end of a drag, pick the
// stop nearest to the knob.
import QtQuick 2.15
import "SkinLook.js" as SkinLook

Item {
    id: slider
    property alias currentIndex: chosen.index
    property string namePrefix: objectName
    signal sliderClicked(int index)

    readonly property int lastStop: 10
    // The knob's travel between two ticks.
    readonly property real stepWidth: (width - knob.width) / lastStop

    // Read by screen readers through the value interface of sliders.
    readonly property int value: chosen.index
    readonly property int minimumValue: 0
    readonly property int maximumValue: lastStop
    readonly property int stepSize: 1

    implicitWidth: 180
    implicitHeight: 22
    opacity: enabled ? 1.0 : 0.5

    activeFocusOnTab: true
    Accessible.role: Accessible.Slider
    Accessible.name: "Slider"
    Accessible.focusable: true
    Accessible.onIncreaseAction: stepBy(1)
    Accessible.onDecreaseAction: stepBy(-1)
    Keys.onRightPressed: stepBy(1)
    Keys.onLeftPressed: stepBy(-1)

    function knobX(index) {
        return index * stepWidth
    }

    function stepAt(x) {
        return Math.min(Math.max(Math.round(x / stepWidth), 0), lastStop)
    }

    // Places the knob from the program; tells nobody.
    function setCurIndex(index) {
        var i = Math.round(Number(index))
        if (!isNaN(i))
            chosen.index = Math.min(Math.max(i, 0), lastStop)
    }

    function pick(x) {
        chosen.index = stepAt(x)
        sliderClicked(chosen.index)
    }

    function stepBy(delta) {
        if (!enabled)
            return
        var next = chosen.index + delta
        if (next < 0 || next > lastStop)
            return
        chosen.index = next
        sliderClicked(next)
    }

    QtObject {
        id: chosen
        property int index: 0
    }

    Image {
        anchors.fill: parent
        source: mainIten.sourceSlider_11_BASE
    }

    Image {
        id: knob
        objectName: slider.namePrefix + "_knob"
        width: 14
        height: 22
        x: area.dragging ? area.dragX : slider.knobX(Math.min(Math.max(chosen.index, 0), slider.lastStop))
        source: area.containsMouse || area.pressed || slider.activeFocus ? mainIten.sourceSlider_11_FILLER_1
                                                                          : mainIten.sourceSlider_11_FILLER_0
    }

    Rectangle {
        anchors.fill: knob
        anchors.margins: -1
        visible: slider.activeFocus
        color: "transparent"
        radius: 7
        border.color: SkinLook.accent(mainIten.skin_No)
    }

    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        property bool dragging: false
        property bool moved: false
        property real dragX: 0

        function follow(pointerX) {
            dragX = Math.min(Math.max(pointerX - knob.width / 2, 0), slider.width - knob.width)
        }

        onPressed: {
            follow(mouse.x)
            dragging = true
            moved = false
            slider.pick(dragX)
        }
        onPositionChanged: {
            if (!dragging)
                return
            moved = true
            follow(mouse.x)
        }
        onReleased: {
            dragging = false
            if (moved)
                slider.pick(dragX)
        }
        onCanceled: dragging = false
    }
}
