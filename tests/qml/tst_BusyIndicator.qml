import QtQuick 2.15
import QtTest 1.15
import "../../modules/qml/basic"

// The busy indicator pulses only while shown.
Item {
    id: mainIten
    width: 300
    height: 100
    property int globalSetting_size: 11
    property color globalSetting_color: "#ff6e6e6e"
    property string globalSetting_fontFamily: "Exo"

    BusyIndicator {
        id: indicator
        anchors.centerIn: parent
    }

    TestCase {
        name: "BusyIndicator"
        when: windowShown

        function test_pulsesWhileBusy() {
            verify(!indicator.visible)
            compare(indicator.text, "LOADING ......")
            verify(indicator.font.bold)
            indicator.setBusy(true)
            verify(indicator.visible)
            tryVerify(function () { return indicator.opacity < 0.5 })
            tryVerify(function () { return indicator.opacity > 0.9 })
            indicator.setBusy(false)
            verify(!indicator.visible)
            // And pulses again once shown again.
            indicator.setBusy(true)
            tryVerify(function () { return indicator.opacity < 0.5 })
            indicator.setBusy(false)
        }
    }
}
