// The window's background picture of the current skin.
import QtQuick 2.15

Image {
    width: 1000
    height: 600
    fillMode: Image.Stretch
}
