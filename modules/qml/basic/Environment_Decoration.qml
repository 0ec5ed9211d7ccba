// The link to the maker's web site. The current layout keeps it hidden, and
// a hidden item takes no clicks.
import QtQuick 2.15

Image {
    id: webLink
    objectName: "webLink"
    x: 20
    y: 36
    visible: false
    source: "file:modules/img/skin" + mainIten.skin_No + "/frame/"
            + (area.containsMouse ? "web_1.png" : "web_0.png")

    Accessible.role: Accessible.Link
    Accessible.name: "Web site"
    Accessible.onPressAction: open()

    // Only web addresses go to the browser: the address comes from the
    // configuration file, and a file or program path there must not be
    // opened by a click.
    function isWebAddress(address) {
        return /^https?:\/\/[^\s]+$/i.test(String(address))
    }

    function open() {
        if (!visible)
            return
        if (typeof ui_View !== "undefined")
            ui_View.playMedia_Index(3)
        var address = mainIten.globalSetting_url
        if (isWebAddress(address))
            Qt.openUrlExternally(address)
    }

    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        onClicked: webLink.open()
    }
}
