// Stand-in for the root document (id mainIten) under the tests of the
// common controls: the shared look, the layout and language, the key-label
// map and the skin pictures they read. Pictures resolve when the test runs
// in the staged program folder and are simply empty elsewhere.
import QtQuick 2.15

Item {
    width: 1000
    height: 600

    property int globalSetting_size: 11
    property color globalSetting_color: "#ff6e6e6e"
    property color globalSetting_color_enable: "#ffffffff"
    property color globalSetting_color_disable: "#FFAAAAAA"
    property string globalSetting_fontFamily: "Exo"
    property var globalSetting_stringList: ["Exo"]
    // Short, so slides and fades end quickly.
    property int animation_speed: 10
    property int lang: 0
    property int layout: 0
    property int skin_No: 1
    property var enTosp: ({})

    readonly property string skinFolder: "file:modules/img/skin" + skin_No + "/common/"
    property url sourceSlider: skinFolder + "slider_BASE.png"
    property url sourceSliderBG: skinFolder + "sliderBG.png"
    property url sourceSliderFiller0: skinFolder + "slider_FILLER_0.png"
    property url sourceSliderFiller1: skinFolder + "slider_FILLER_1.png"
    property url sourceSlider_11_BASE: skinFolder + "slider_11_BASE.png"
    property url sourceSlider_11_FILLER_0: skinFolder + "slider_11_FILLER_0.png"
    property url sourceSlider_11_FILLER_1: skinFolder + "slider_11_FILLER_1.png"
    property url sourceSteelBG: skinFolder + "steelBG.png"
    property url sourceFilelist: skinFolder + "filelist_BASE.png"
    property url sourceBtnFileListFrame: skinFolder + "btnFileListFrame.png"
    property url sourceBtnFrame: skinFolder + "btnFrame.png"
    property url sourceCHK0: skinFolder + "checkbox_0.png"
    property url sourceCHK1: skinFolder + "checkbox_1.png"
    property url sourceBtnGroup_4_BASE: skinFolder + "btnGroup_4_BASE.png"
    property url sourceBtnGroup_8_BASE: skinFolder + "btnGroup_8_BASE.png"
    property url sourceBtnGroup_FILLER_0: skinFolder + "btnGroup_FILLER_0.png"
    property url sourceBtnGroup_FILLER_1: skinFolder + "btnGroup_FILLER_1.png"
    property url sourceBtnGroup2_FILLER_0: skinFolder + "btnGroup2_FILLER_0.png"
    property url sourceBtnGroup2_FILLER_1: skinFolder + "btnGroup2_FILLER_1.png"
    property url sourceApply0: skinFolder + "apply_0.png"
    property url sourceApply1: skinFolder + "apply_1.png"
}
