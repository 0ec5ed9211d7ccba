import QtQuick 2.15
import QtTest 1.15
import "../../modules/qml/common"

Item {
    width: 300
    height: 100

    ControlsRoot { id: mainIten; visible: false }
    ControlsView { id: ui_View }

    Slider {
        id: slider
        objectName: "brightnessSlider"
        x: 10
        y: 10
        Accessible.name: "Brightness"
    }

    SignalSpy { id: spy; target: slider; signalName: "sliderClicked" }

    TestCase {
        name: "Slider"
        when: windowShown

        readonly property int half: 7

        function init() {
            slider.enabled = true
            slider.minIndex = 0
            slider.setCurIndex(3)
            spy.clear()
        }

        function knob() {
            return findChild(slider, "brightnessSlider_knob")
        }

        // The knob's x under the press, then the stop it picks.
        function test_press_picks_the_span_holding_the_knob_data() {
            return [
                { tag: "first stop", knobX: 21, step: 0 },
                { tag: "just before the second", knobX: 36, step: 0 },
                { tag: "second stop", knobX: 37, step: 1 },
                { tag: "middle", knobX: 70, step: 3 },
                { tag: "sixth stop", knobX: 101, step: 5 },
                { tag: "just before the last", knobX: 118, step: 5 },
                { tag: "last stop", knobX: 119, step: 6 },
                { tag: "left of the track", knobX: -20, step: 0 },
                { tag: "right of the track", knobX: 140, step: 6 }
            ]
        }
        function test_press_picks_the_span_holding_the_knob(data) {
            var pointerX = Math.max(0, Math.min(slider.width - 1, data.knobX + half))
            mouseClick(slider, pointerX, 11)
            compare(spy.count, 1)
            compare(spy.signalArguments[0][0], data.step)
            compare(slider.currentIndex, data.step)
            compare(knob().x, slider.knobX(data.step))
        }

        function test_setCurIndex_places_the_knob_data() {
            return [
                { tag: "0", index: 0, shown: 0, x: 21 },
                { tag: "3", index: 3, shown: 3, x: 69 },
                { tag: "5", index: 5, shown: 5, x: 101 },
                { tag: "6", index: 6, shown: 6, x: 119 },
                { tag: "7 shares the last stop", index: 7, shown: 7, x: 119 },
                { tag: "negative", index: -3, shown: 0, x: 21 },
                { tag: "too large", index: 12, shown: 7, x: 119 }
            ]
        }
        function test_setCurIndex_places_the_knob(data) {
            slider.setCurIndex(data.index)
            compare(slider.currentIndex, data.shown)
            compare(knob().x, data.x)
            compare(spy.count, 0)
        }

        function test_drag_picks_again_where_it_ends() {
            slider.setCurIndex(0)
            mouseDrag(slider, 21 + half, 11, 80, 0)
            verify(spy.count >= 1)
            compare(spy.signalArguments[0][0], 0)
            compare(spy.signalArguments[spy.count - 1][0], 5)
            compare(slider.currentIndex, 5)
            compare(knob().x, 101)
        }

        function test_minIndex_is_the_lowest_pick() {
            slider.minIndex = 1
            mouseClick(slider, 21 + half, 11)
            compare(spy.signalArguments[0][0], 1)
            slider.setCurIndex(0)
            compare(slider.currentIndex, 1)
            keyClickLeftFrom(1)
            compare(spy.count, 1)
        }

        function keyClickLeftFrom(index) {
            slider.setCurIndex(index)
            slider.forceActiveFocus()
            keyClick(Qt.Key_Left)
        }

        function test_keys_step_between_reachable_stops() {
            slider.setCurIndex(7)
            slider.forceActiveFocus()
            keyClick(Qt.Key_Right)
            compare(spy.count, 0)
            keyClick(Qt.Key_Left)
            compare(slider.currentIndex, 5)
            keyClick(Qt.Key_Right)
            compare(slider.currentIndex, 6)
            compare(spy.count, 2)
        }

        function test_disabled_slider_ignores_the_pointer_and_keys() {
            slider.enabled = false
            mouseClick(slider, 101 + half, 11)
            slider.stepBy(1)
            compare(spy.count, 0)
            compare(slider.currentIndex, 3)
        }

        function test_accessibility() {
            compare(slider.Accessible.role, Accessible.Slider)
            compare(slider.Accessible.name, "Brightness")
            compare(slider.value, 3)
            compare(slider.maximumValue, 6)
        }
    }
}
