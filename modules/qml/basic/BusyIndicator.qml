// "LOADING ......", pulsing while the user interface is locked.
import QtQuick 2.15

Text {
    id: indicator
    text: "LOADING ......"
    font.bold: true
    font.pixelSize: mainIten.globalSetting_size
    font.family: mainIten.globalSetting_fontFamily
    color: mainIten.globalSetting_color
    visible: false

    function setBusy(busy) {
        visible = busy
    }

    SequentialAnimation on opacity {
        running: indicator.visible
        loops: Animation.Infinite
        NumberAnimation { from: 1.0; to: 0.2; duration: 400 }
        NumberAnimation { from: 0.2; to: 1.0; duration: 400 }
    }
}
