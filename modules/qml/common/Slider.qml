// A seven-stop slider on the skin's slider track. The knob rests at x
// scaleValue[i] for stop i (the last stop at scaleValue[6]); a press, and
// the end of a drag, pick the stop whose span [scaleValue[i], scaleValue[i+1])
// holds the knob's x. Positions 6 and 7 share the rightmost stop: pages that
// set a position from the keyboard's own value may pass 7 and read it back.
import QtQuick 2.15
import "SkinLook.js" as SkinLook

Item {
    id: slider
    property int minIndex: 0
    property int currentIndex: 0
    property var scaleValue: [21, 37, 53, 69, 85, 101, 119, 133]
    property string namePrefix: objectName
    // The painted track; its ticks must sit under the knob's centre at
    // every stop, so a slider with other stops brings its own track.
    property url trackSource: mainIten.sourceSliderBG
    signal sliderClicked(int index)

    // Read by screen readers through the value interface of sliders.
    readonly property int value: currentIndex
    readonly property int minimumValue: minIndex
    readonly property int maximumValue: lastStop
    readonly property int stepSize: 1

    // The rightmost stop the pointer can reach, and the highest position.
    readonly property int lastStop: scaleValue.length - 2
    readonly property int lastIndex: scaleValue.length - 1

    implicitWidth: 154
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

    // The knob's x for a position.
    function knobX(index) {
        return index <= lastStop - 1 ? scaleValue[Math.max(index, 0)] : scaleValue[lastStop]
    }

    // The stop whose span holds knob position x.
    function stepAt(x) {
        var step = 0
        for (var i = 0; i < lastStop; ++i) {
            if (x >= scaleValue[i + 1])
                step = i + 1
        }
        return Math.max(step, minIndex)
    }

    // Places the knob at a position given by the program (a device read, a
    // reset); tells nobody. Positions outside minIndex..7 are clamped.
    function setCurIndex(index) {
        var i = Math.round(Number(index))
        if (isNaN(i))
            return
        currentIndex = Math.min(Math.max(i, minIndex), lastIndex)
    }

    function pick(x) {
        currentIndex = stepAt(x)
        sliderClicked(currentIndex)
    }

    function stepBy(delta) {
        if (!enabled)
            return
        var next = Math.min(currentIndex, lastStop) + delta
        if (next < minIndex || next > lastStop)
            return
        currentIndex = next
        sliderClicked(next)
    }

    Image {
        objectName: slider.namePrefix + "_track"
        anchors.fill: parent
        source: slider.trackSource
    }

    Image {
        id: knob
        objectName: slider.namePrefix + "_knob"
        width: 14
        height: 22
        x: area.dragging ? area.dragX : slider.knobX(slider.currentIndex)
        source: area.containsMouse || area.pressed || slider.activeFocus ? mainIten.sourceSliderFiller1
                                                                          : mainIten.sourceSliderFiller0
    }

    Rectangle {
        anchors.fill: knob
        anchors.margins: -1
        visible: slider.activeFocus
        color: "transparent"
        radius: 3
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
            dragX = Math.min(Math.max(pointerX - knob.width / 2, slider.scaleValue[0]),
                             slider.scaleValue[slider.lastStop])
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
