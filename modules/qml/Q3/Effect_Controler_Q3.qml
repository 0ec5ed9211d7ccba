// The lighting page's levels and its preview. The levels are what APPLY
// sends; the preview engine (a LightingPreview, given as `preview`) does
// the arithmetic of the effects and runs its single timer only between
// playEffect(true) and playEffect(false).
import QtQuick 2.15

QtObject {
    id: ctrl
    property var preview: null
    // The list entry's code, -1 when no entry is chosen.
    property int effectIndex: -1
    property int brightnessLV: 7
    property int speedLV: 3
    // 1 right, 2 left.
    property int directLV: 1
    // 0..6 one table entry, 7 LOOP.
    property int colorLV: 0
    // The 21 values of the colour table and the user picture the preview
    // shows in the PAINTING group.
    property var colorTable: []
    property var picture: []
    property bool playing: false

    // Starts (true) or stops (false) the preview of the current effect.
    function playEffect(isOn) {
        playing = !!isOn
        if (!preview)
            return
        if (!playing) {
            preview.stop()
            return
        }
        sync()
        preview.start()
    }

    // Hands the levels to the preview; a running preview starts over.
    function sync() {
        if (!preview)
            return
        preview.effect = effectIndex
        preview.brightness = brightnessLV
        preview.speed = speedLV
        preview.direction = directLV
        preview.colorChoice = colorLV >= 0 && colorLV <= 7 ? colorLV : 0
        preview.colorTable = colorTable
        preview.picture = picture
    }

    // A key event from anywhere on the desktop: presses light keys in the
    // effects that react to them; releases and keys not on the drawing do
    // nothing.
    function detectKeyboard(isDown, usbCode) {
        if (!isDown || !playing || !preview)
            return
        if (typeof _KeyCodeString === "undefined" || _KeyCodeString === null)
            return
        var matrix = _KeyCodeString.keycodeTomatrix(usbCode)
        if (matrix === undefined)
            return
        preview.press(matrix)
    }

    onEffectIndexChanged: if (preview) preview.effect = effectIndex
    onBrightnessLVChanged: if (preview) preview.brightness = brightnessLV
    onSpeedLVChanged: if (preview) preview.speed = speedLV
    onDirectLVChanged: if (preview) preview.direction = directLV
    onColorLVChanged: if (preview) preview.colorChoice = colorLV >= 0 && colorLV <= 7 ? colorLV : 0
    onColorTableChanged: if (preview) preview.colorTable = colorTable
    onPictureChanged: if (preview) preview.picture = picture
}
