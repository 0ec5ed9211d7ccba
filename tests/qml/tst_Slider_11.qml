import QtQuick 2.15
import QtTest 1.15
import "../../modules/qml/common"

Item {
    width: 300
    height: 100

    ControlsRoot { id: mainIten; visible: false }
    ControlsView { id: ui_View }

    Slider_11 {
        id: slider
        objectName: "scrollSlider"
        x: 10
        y: 10
    }

    SignalSpy { id: spy; target: slider; signalName: "sliderClicked" }

    TestCase {
        name: "Slider_11"
        when: windowShown

        function init() {
            slider.enabled = true
            slider.currentIndex = 4
            spy.clear()
        }

        function knob() {
            return findChild(slider, "scrollSlider_knob")
        }

        // The track's ticks sit 16.6 pixels apart from x 7 (the knob's centre).
        function test_press_picks_the_nearest_tick_data() {
            return [
                { tag: "left end", pointerX: 0, step: 0 },
                { tag: "first tick", pointerX: 7, step: 0 },
                { tag: "just short of halfway", pointerX: 15, step: 0 },
                { tag: "just past halfway", pointerX: 16, step: 1 },
                { tag: "middle tick", pointerX: 90, step: 5 },
                { tag: "last tick", pointerX: 173, step: 10 },
                { tag: "right end", pointerX: 179, step: 10 }
            ]
        }
        function test_press_picks_the_nearest_tick(data) {
            mouseClick(slider, data.pointerX, 11)
            compare(spy.count, 1)
            compare(spy.signalArguments[0][0], data.step)
            compare(slider.currentIndex, data.step)
            compare(Math.round(knob().x * 10), Math.round(data.step * 166))
        }

        function test_drag_picks_where_it_ends() {
            slider.currentIndex = 0
            mouseDrag(slider, 7, 11, 100, 0)
            compare(spy.signalArguments[spy.count - 1][0], 6)
            compare(slider.currentIndex, 6)
        }

        function test_program_placement_is_silent_and_clamped() {
            slider.setCurIndex(14)
            compare(slider.currentIndex, 10)
            slider.setCurIndex(-1)
            compare(slider.currentIndex, 0)
            compare(spy.count, 0)
        }

        function test_keys_and_disabled() {
            slider.forceActiveFocus()
            keyClick(Qt.Key_Right)
            compare(slider.currentIndex, 5)
            slider.Accessible.decreaseAction()
            compare(slider.currentIndex, 4)
            compare(spy.count, 2)
            slider.enabled = false
            mouseClick(slider, 173, 11)
            slider.Accessible.increaseAction()
            compare(slider.currentIndex, 4)
            compare(spy.count, 2)
            compare(slider.Accessible.role, Accessible.Slider)
        }
    }
}
