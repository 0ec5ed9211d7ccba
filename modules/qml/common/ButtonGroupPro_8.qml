// Eight toggle buttons, each holding a value: the number of an entry of
// the eighteen-entry menu (menuTexts), whose text the button shows. A click
// chooses a button as in the four-button group; a right click opens the
// menu under that button, and choosing an entry there gives the button that
// value and emits valueChanged(button, value).
import QtQuick 2.15

ButtonGroup_4 {
    id: pro
    property var menuTexts: ["1", "2", "3", "4", "5", "6", "7", "8", "9",
                             "10", "11", "12", "13", "14", "15", "16", "17", "18"]
    // The button whose value the open menu edits, -1 with the menu shut.
    readonly property int menuIndex: menuState.target

    signal valueChanged(int index, int value)

    buttonCount: 8
    valueForIndex: [0, 0, 0, 0, 0, 0, 0, 0]
    labels: {
        var shown = []
        for (var i = 0; i < buttonCount; ++i) {
            var v = valueForIndex ? valueForIndex[i] : undefined
            shown.push(v >= 0 && v < menuTexts.length ? menuTexts[v] : "")
        }
        return shown
    }
    baseSource: mainIten.sourceBtnGroup_8_BASE
    fillerSource0: mainIten.sourceBtnGroup2_FILLER_0
    fillerSource1: mainIten.sourceBtnGroup2_FILLER_1
    // The open menu hangs below the buttons over what follows.
    z: menuState.target >= 0 ? 50 : 0

    Accessible.name: "Levels"
    // Without a pointer: Space opens the chosen button's menu, Up and Down
    // step its value.
    Keys.onSpacePressed: showMenu(currentIndex)
    Keys.onEscapePressed: closeMenu()
    Keys.onUpPressed: stepValue(1)
    Keys.onDownPressed: stepValue(-1)

    function showMenu(index) {
        if (!enabled || index < 0 || index >= buttonCount)
            return
        menuState.target = index
        valueMenu.currentValue = valueForIndex[index] === undefined ? -1 : valueForIndex[index]
        valueMenu.showMenu()
    }

    function closeMenu() {
        menuState.target = -1
        valueMenu.closeMenu()
    }

    // Gives button index the value, as a choice in the menu does.
    function setValue(index, value) {
        if (!enabled || index < 0 || index >= buttonCount || value < 0 || value >= menuTexts.length)
            return
        var values = []
        for (var i = 0; i < buttonCount; ++i)
            values.push(valueForIndex && valueForIndex[i] !== undefined ? valueForIndex[i] : 0)
        values[index] = value
        valueForIndex = values
        valueChanged(index, value)
    }

    function stepValue(delta) {
        if (currentIndex >= 0 && valueForIndex && valueForIndex[currentIndex] !== undefined)
            setValue(currentIndex, valueForIndex[currentIndex] + delta)
    }

    onButtonRightClicked: showMenu(index)
    onEnabledChanged: if (!enabled) closeMenu()

    QtObject {
        id: menuState
        property int target: -1
    }

    ButtonGroupPro_8_Menu {
        id: valueMenu
        objectName: pro.namePrefix + "_menu"
        texts: pro.menuTexts
        x: Math.max(0, Math.min(2 + Math.max(menuState.target, 0) * pro.buttonWidth, pro.width - width))
        y: pro.height + 2
        onClicked: {
            var target = menuState.target
            menuState.target = -1
            pro.setValue(target, index)
        }
    }
}
