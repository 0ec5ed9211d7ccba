// The top menu: settings, minimise and close. Emits btnClicked with 0 for
// settings, 2 for minimise and 1 for close.
import QtQuick 2.15
import "../common"

Item {
    id: menu
    objectName: "menuUp"
    // True while the global settings panel is open; the root slides the
    // panel when it changes.
    property bool isGlobalSettingSelect: false
    signal btnClicked(int index)

    Image {
        anchors.fill: parent
        source: mainIten.sourceListUpContainer
    }

    Button_2state {
        objectName: "settingsButton"
        Accessible.name: "Settings"
        x: 876
        anchors.verticalCenter: parent.verticalCenter
        anchors.verticalCenterOffset: 12
        source0: mainIten.sourceSetting_0
        source1: mainIten.sourceSetting_1
        onClicked: menu.btnClicked(0)
    }
    Button_2state {
        objectName: "minimizeButton"
        Accessible.name: "Minimize"
        x: 913
        anchors.verticalCenter: parent.verticalCenter
        anchors.verticalCenterOffset: 12
        source0: mainIten.sourceMinimize_0
        source1: mainIten.sourceMinimize_1
        onClicked: menu.btnClicked(2)
    }
    Button_2state {
        objectName: "closeButton"
        Accessible.name: "Close"
        x: 949
        anchors.verticalCenter: parent.verticalCenter
        anchors.verticalCenterOffset: 12
        source0: mainIten.sourceClose_0
        source1: mainIten.sourceClose_1
        onClicked: menu.btnClicked(1)
    }
}
