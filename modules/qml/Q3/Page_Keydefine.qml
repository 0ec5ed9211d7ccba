// Stands in for the key assignment page until it is built: the page's frame only.
// The main page calls a page's functions only when the page has them.
import QtQuick 2.15

Item {
    width: background.implicitWidth > 0 ? background.implicitWidth : 792
    height: background.implicitHeight > 0 ? background.implicitHeight : 442

    Image {
        id: background
        source: mainIten.sourceFnKeydefineBackground
    }
}
