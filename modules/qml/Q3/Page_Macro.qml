// The macro page: the active profile's macro files on the left, the lines
// of the chosen one on the right. Lines come from RECORD (the keys pressed
// anywhere on the desktop), from the key and delay fields, and from DELETE,
// CUT, PASTE and COPY; every step is written to the macro file at once, and
// the view sends a bound macro to the keyboard again when it is saved.
// Files are created, deleted, imported, exported and renamed here; the key
// page binds them to keys and follows every change of the list.
import QtQuick 2.15
import QtQml.Models 2.15
import Gearpanel 1.0
import "../common"
import "../common/SkinLook.js" as SkinLook

Item {
    id: macroPage
    objectName: "macroPage"
    width: background.implicitWidth > 0 ? background.implicitWidth : 792
    height: background.implicitHeight > 0 ? background.implicitHeight : 396

    readonly property alias fileList: fileList
    readonly property alias fileModel: md_MacroFile
    readonly property alias actionModel: md_MacroActions
    readonly property alias actionList: actionView
    readonly property alias keyField: keyField
    readonly property alias delayField: delayInput

    property bool isRecordStart: false
    // One line (argument and suffix) for PASTE.
    property string scrapbook: ""
    // After COPY a paste may repeat; after CUT it empties the clipboard.
    property bool isUnlimitedCopy: false
    property int delayValue: 1000
    // Whether the chosen macro holds a place on the keyboard, so that every
    // save sends it.
    property bool currentBound: false
    // The file row the context menu acts on.
    property int menuRow: -1
    property bool menuRowBound: false

    // A recording belongs to the profile it started in, and keeps room in the
    // keyboard's block for the release of every key it saw pressed.
    property int recordProfile: -1
    property var heldKeys: []
    property int recordBytes: 4

    readonly property bool keyboardConnected: mainIten.keyboardConnected !== false
    readonly property bool hasMacro: fileList.lvItems.currentIndex >= 0
                                     && fileList.lvItems.currentIndex < md_MacroFile.count
    // Saving a bound macro sends it, which needs the keyboard.
    readonly property bool editable: hasMacro && !isRecordStart && (!currentBound || keyboardConnected)
    readonly property bool hasAction: actionView.currentIndex >= 0 && actionView.currentIndex < md_MacroActions.count

    // Calls the view's slot when the view has it (tests and stand-ins may
    // offer only some), else gives undefined.
    function view(name, args) {
        if (typeof ui_View === "undefined" || ui_View === null || typeof ui_View[name] !== "function")
            return undefined
        return ui_View[name].apply(ui_View, args || [])
    }

    function click() {
        view("playMedia_Index", [4])
    }

    function uiText(index, fallback) {
        var list = mainIten.globalSetting_stringList
        var t = list && index < list.length ? list[index] : undefined
        return (t === undefined || t === null || String(t) === "") ? fallback : String(t)
    }

    // Key names: files hold the English ones; a Spanish keyboard shows its own.
    function shownName(name) {
        if (mainIten.layout === 1 && mainIten.enTosp) {
            var t = mainIten.enTosp[name]
            if (t !== undefined && t !== null)
                return String(t)
        }
        return name
    }
    function storedName(name) {
        if (mainIten.layout === 1 && mainIten.sptoen) {
            var t = mainIten.sptoen[name]
            if (t !== undefined && t !== null)
                return String(t)
        }
        return name
    }
    function isKeyLine(suffix) {
        return suffix === MacroMath.pressSuffix || suffix === MacroMath.releaseSuffix
    }

    // The key page's macro list follows this page's files.
    function keyPageFollows() {
        if (typeof main_Q3 === "undefined" || !main_Q3)
            return
        var keyPage = main_Q3.keyPage
        if (keyPage && typeof keyPage.refreshMacroList === "function")
            keyPage.refreshMacroList()
    }

    function initUI() {
        refreshMacroFiles(getCurrentMacroName())
        refreshMacroActions()
    }

    // The profile changed: its macros live in another folder.
    function profileChanged() {
        stopRecording()
        fileList.cancelEditFileName()
        closeMenu()
        refreshMacroFiles(undefined)
        refreshMacroActions()
    }

    function translateStrings() {
        // The texts are bound to the string list; nothing is left to set.
    }

    function controlMenu() {
        closeMenu()
    }

    function setSkin() {
    }

    // Makes `model` hold `rows`, changing rows in place so that the views
    // keep their row items.
    function syncModel(model, rows) {
        while (model.count > rows.length)
            model.remove(model.count - 1)
        for (var i = 0; i < rows.length; ++i) {
            if (i < model.count)
                model.set(i, rows[i])
            else
                model.append(rows[i])
        }
    }

    // Rebuilds the file list from the folder and chooses `keepName` again
    // when it is still there.
    function refreshMacroFiles(keepName) {
        var names = view("getMacroIniNames")
        var rows = []
        var chosen = -1
        if (names) {
            for (var i = 0; i < names.length; ++i) {
                var n = String(names[i])
                if (n.length > 4 && n.slice(-4) === ".bin")
                    n = n.slice(0, -4)
                if (keepName !== undefined && n === keepName)
                    chosen = rows.length
                rows.push({ "textX": n, "textR": "" })
            }
        }
        syncModel(md_MacroFile, rows)
        fileList.lvItems.currentIndex = chosen
        if (chosen >= 0)
            fileList.lvItems.positionViewAtIndex(chosen, ListView.Contain)
    }

    function refreshMacroActions() {
        actionView.currentIndex = -1
        var name = getCurrentMacroName()
        var config = name === undefined ? undefined : view("loadMacroIniConfig", [name])
        var index = config && config.length >= 1 ? Number(config[0]) : -1
        currentBound = index >= 0 && index < MacroMath.macroPlaces
        var lines = name === undefined ? undefined : view("loadMacroIni", [name])
        var rows = []
        if (lines) {
            for (var i = 0; i < lines.length; ++i)
                rows.push(rowOf(String(lines[i])))
        }
        syncModel(md_MacroActions, rows)
    }

    function rowOf(line) {
        var suffix = line.slice(-10)
        var arg = line.slice(0, Math.max(0, line.length - 10))
        return { "textX": isKeyLine(suffix) ? shownName(arg) : arg, "textR": suffix }
    }

    function lineOf(row) {
        var arg = String(row.textX)
        var suffix = String(row.textR)
        return (isKeyLine(suffix) ? storedName(arg) : arg) + suffix
    }

    function getCurrentMacroName() {
        var i = fileList.lvItems.currentIndex
        if (i < 0 || i >= md_MacroFile.count)
            return undefined
        return String(md_MacroFile.get(i).textX)
    }

    function getAllMacroActions() {
        var lines = []
        for (var i = 0; i < md_MacroActions.count; ++i)
            lines.push(lineOf(md_MacroActions.get(i)))
        return lines
    }

    function getCurrentMacroActions() {
        return hasAction ? lineOf(md_MacroActions.get(actionView.currentIndex)) : undefined
    }

    // Writes the lines; a macro whose file went away shows the files that
    // are there and no lines.
    function save() {
        var name = getCurrentMacroName()
        if (name === undefined)
            return false
        if (view("saveMacroIni", [name, getAllMacroActions()]) === false) {
            refreshMacroFiles(name)
            refreshMacroActions()
            return false
        }
        return true
    }

    // Inserts rows before the chosen action row, which stays chosen, or
    // appends them when none is.
    function insertRows(rows) {
        var at = hasAction ? actionView.currentIndex : md_MacroActions.count
        var chosen = actionView.currentIndex
        for (var i = 0; i < rows.length; ++i)
            md_MacroActions.insert(at + i, rows[i])
        if (chosen >= 0)
            actionView.currentIndex = chosen + rows.length
    }

    function chooseFile(index) {
        stopRecording()
        refreshMacroActions()
    }

    // RECORD and STOP.
    function startRecording() {
        if (isRecordStart || !editable)
            return
        md_MacroActions.clear()
        actionView.currentIndex = -1
        keyField.isSelect = false
        heldKeys = []
        recordBytes = MacroMath.streamBytes([])
        recordProfile = mainIten.profile
        isRecordStart = true
    }

    function stopRecording() {
        if (!isRecordStart)
            return
        // Keys still down end released, so the keyboard never plays a key
        // that stays pressed.
        for (var i = 0; i < heldKeys.length; ++i)
            appendRecorded(heldKeys[i], false)
        heldKeys = []
        isRecordStart = false
        // A recording cut short by a change of profile belongs to a file in
        // the old profile's folder: it is dropped, and that file keeps what
        // it had.
        if (recordProfile === mainIten.profile)
            save()
        else
            refreshMacroActions()
        recordProfile = -1
    }

    function appendRecorded(name, isDown) {
        var line = name + (isDown ? MacroMath.pressSuffix : MacroMath.releaseSuffix)
        md_MacroActions.append(rowOf(line))
        recordBytes += MacroMath.lineBytes(line)
        actionView.positionViewAtEnd()
    }

    function recordKey(isDown, usbCode) {
        var name = typeof _KeyCodeString !== "undefined" ? _KeyCodeString.keycodeTostr(usbCode) : ""
        if (name === undefined || name === null || String(name) === "")
            return
        name = String(name)
        var held = heldKeys.indexOf(name)
        if (isDown) {
            if (held >= 0)
                return
            if (!MacroMath.roomForPress(recordBytes, heldKeys.length)) {
                stopRecording()
                return
            }
            appendRecorded(name, true)
            heldKeys = heldKeys.concat([name])
        } else if (held >= 0) {
            appendRecorded(name, false)
            var rest = heldKeys.slice()
            rest.splice(held, 1)
            heldKeys = rest
        } else if (MacroMath.roomForLooseRelease(recordBytes, heldKeys.length)) {
            // The release of a key that was down before RECORD.
            appendRecorded(name, false)
        }
        // The block is full once no further press and release fit.
        if (heldKeys.length === 0 && !MacroMath.roomForPress(recordBytes, 0))
            stopRecording()
    }

    function detectKeyboard(isDown, usbCode) {
        if (keyField.isSelect)
            keyField.detectKeyboard(isDown, usbCode)
        else if (isRecordStart)
            recordKey(isDown, usbCode)
    }

    // The field's key as a press and a release.
    function addKey() {
        if (!editable || keyField.tmpKeycodeUSB < 0)
            return
        var name = typeof _KeyCodeString !== "undefined" ? _KeyCodeString.keycodeTostr(keyField.tmpKeycodeUSB) : ""
        if (!name)
            return
        insertRows([rowOf(name + MacroMath.pressSuffix), rowOf(name + MacroMath.releaseSuffix)])
        save()
    }

    // The delay field's number, at least 10, becomes the delay value.
    function commitDelay() {
        delayValue = MacroMath.delayValue(delayInput.text, delayValue)
        delayInput.text = String(delayValue)
    }

    function addDelay() {
        if (!editable)
            return
        commitDelay()
        insertRows([rowOf(String(delayValue) + MacroMath.delaySuffix)])
        save()
    }

    function deleteAction() {
        if (!editable || !hasAction)
            return
        md_MacroActions.remove(actionView.currentIndex)
        actionView.currentIndex = -1
        save()
    }

    function cutAction() {
        if (!editable || !hasAction)
            return
        scrapbook = getCurrentMacroActions()
        isUnlimitedCopy = false
        deleteAction()
    }

    function copyAction() {
        if (!hasAction)
            return
        scrapbook = getCurrentMacroActions()
        isUnlimitedCopy = true
    }

    function pasteAction() {
        if (!editable || scrapbook === "")
            return
        insertRows([rowOf(scrapbook)])
        if (!isUnlimitedCopy)
            scrapbook = ""
        save()
    }

    function chooseAction(index) {
        if (isRecordStart)
            return
        actionView.currentIndex = actionView.currentIndex === index ? -1 : index
    }

    // New and deleted files.
    function newMacro() {
        if (isRecordStart)
            return
        var name = view("createMacroIni")
        if (name === undefined || name === null || String(name) === "") {
            refreshMacroFiles(getCurrentMacroName())
            return
        }
        refreshMacroFiles(String(name))
        refreshMacroActions()
        keyPageFollows()
    }

    function deleteMacro() {
        var name = getCurrentMacroName()
        if (isRecordStart || name === undefined)
            return
        view("deleteMacroIni", [name])
        refreshMacroFiles(undefined)
        refreshMacroActions()
        keyPageFollows()
    }

    // The right-click menu.
    function openMenu(row) {
        if (isRecordStart || row < 0 || row >= md_MacroFile.count)
            return
        menuRow = row
        var config = view("loadMacroIniConfig", [String(md_MacroFile.get(row).textX)])
        var index = config && config.length >= 1 ? Number(config[0]) : -1
        menuRowBound = index >= 0 && index < MacroMath.macroPlaces
        var listView = fileList.lvItems
        var y = fileList.y + fileList.itemHeight * (row + 1) - listView.contentY + listView.originY
        contextMenu.x = fileList.x + 29
        contextMenu.y = Math.max(0, Math.min(y, macroPage.height - contextMenu.height))
        contextMenu.shown = true
    }

    function closeMenu() {
        contextMenu.shown = false
    }

    function menuName() {
        return (menuRow >= 0 && menuRow < md_MacroFile.count) ? String(md_MacroFile.get(menuRow).textX) : undefined
    }

    function menuLoad() {
        var name = menuName()
        closeMenu()
        if (name === undefined || (menuRowBound && !keyboardConnected))
            return
        view("loadMacroIniFromFile", [name])
        if (name === getCurrentMacroName())
            refreshMacroActions()
    }

    function menuSave() {
        var name = menuName()
        closeMenu()
        if (name !== undefined)
            view("saveMacroIniToFile", [name])
    }

    function menuRename() {
        var row = menuRow
        closeMenu()
        fileList.editFileName(row)
    }

    function indexOfName(name) {
        for (var i = 0; i < md_MacroFile.count; ++i) {
            if (String(md_MacroFile.get(i).textX) === name)
                return i
        }
        return -1
    }

    // Whatever the view made of a rename (a name that exists or that cannot
    // be a file name is refused), the list shows the files on disk.
    function renamed(oldName, newName, wasChosen) {
        var other = wasChosen ? undefined : getCurrentMacroName()
        view("renameMacroIniFile", [oldName, newName])
        refreshMacroFiles(other)
        if (wasChosen) {
            var done = indexOfName(newName) >= 0 && indexOfName(oldName) < 0
            refreshMacroFiles(done ? newName : oldName)
            refreshMacroActions()
        }
        keyPageFollows()
    }

    // A press on the window's background: a rename ends as with Enter, the
    // delay field takes its number.
    function lostFocus() {
        fileList.stopEditFileName()
        if (delayInput.activeFocus) {
            commitDelay()
            delayInput.focus = false
        }
    }

    // The window went to the tray: nothing typed elsewhere is recorded.
    function windowHidden() {
        stopRecording()
        keyField.isSelect = false
        closeMenu()
    }

    onVisibleChanged: {
        if (!visible) {
            stopRecording()
            keyField.isSelect = false
            fileList.cancelEditFileName()
            closeMenu()
        }
    }

    Connections {
        target: typeof main_Q3 !== "undefined" ? main_Q3 : null
        ignoreUnknownSignals: true
        function onMsg_KB(isDown, usbCode) { macroPage.detectKeyboard(isDown, usbCode) }
    }

    ListModel {
        id: md_MacroFile
    }
    ListModel {
        id: md_MacroActions
    }

    Image {
        id: background
        source: mainIten.sourceFnMacroBackground
    }

    // The file panel.
    Rectangle {
        x: 118
        y: 53
        width: 142
        height: 23
        color: "transparent"
        border.color: SkinLook.accent(mainIten.skin_No)
    }
    Rectangle {
        id: fileBand
        x: 119
        y: 55
        width: 141
        height: 21
        color: "#80000000"
        Text {
            anchors.left: parent.left
            anchors.leftMargin: 6
            anchors.verticalCenter: parent.verticalCenter
            text: macroPage.uiText(44, "MACRO")
            font.family: mainIten.globalSetting_fontFamily
            font.pixelSize: mainIten.globalSetting_size
            color: mainIten.globalSetting_color_enable
        }
        Button_2state {
            id: newMacroButton
            objectName: "newMacroButton"
            anchors.right: deleteMacroButton.left
            anchors.rightMargin: 3
            anchors.verticalCenter: parent.verticalCenter
            source0: mainIten.sourceAdd0
            source1: mainIten.sourceAdd1
            enabled: !macroPage.isRecordStart
            Accessible.name: macroPage.uiText(116, "NEW MACRO")
            onClicked: macroPage.newMacro()
        }
        Button_2state {
            id: deleteMacroButton
            objectName: "deleteMacroButton"
            anchors.right: parent.right
            anchors.rightMargin: 2
            anchors.verticalCenter: parent.verticalCenter
            source0: mainIten.sourceDelete0
            source1: mainIten.sourceDelete1
            enabled: macroPage.hasMacro && !macroPage.isRecordStart
            Accessible.name: macroPage.uiText(117, "DELETE MACRO")
            onClicked: macroPage.deleteMacro()
        }
    }

    FileList {
        id: fileList
        objectName: "macroFileList"
        mdItems: md_MacroFile
        editorName: "renameField"
        x: 119
        y: fileBand.y + fileBand.height + 1
        enabled: !macroPage.isRecordStart
        Accessible.name: macroPage.uiText(44, "MACRO")
        property bool editingChosen: false
        onListElementClicked: macroPage.chooseFile(index)
        onListElementRightBtnClicked: macroPage.openMenu(index)
        onEditFileName_start: editingChosen = tarIndex === lvItems.currentIndex
        onEditFileName_completed: macroPage.renamed(oldName, newName, editingChosen)
    }

    // The action panel.
    Rectangle {
        x: 487
        y: 52
        width: actionBand.width + 1
        height: 24
        color: "transparent"
        border.color: SkinLook.accent(mainIten.skin_No)
    }
    Rectangle {
        id: actionBand
        x: 488
        y: 55
        width: 280
        height: 21
        color: "#80000000"
        Text {
            anchors.left: parent.left
            anchors.leftMargin: 6
            anchors.verticalCenter: parent.verticalCenter
            text: macroPage.isRecordStart ? "\u25CF " + macroPage.uiText(115, "RECORD") : macroPage.uiText(45, "ACTION")
            font.family: mainIten.globalSetting_fontFamily
            font.pixelSize: mainIten.globalSetting_size
            color: macroPage.isRecordStart ? SkinLook.accent(mainIten.skin_No) : mainIten.globalSetting_color_enable
        }
        Button_2state {
            id: recordButton
            objectName: "recordButton"
            anchors.right: stopButton.left
            anchors.rightMargin: 4
            anchors.verticalCenter: parent.verticalCenter
            source0: macroPage.isRecordStart ? mainIten.sourceRecord1 : mainIten.sourceRecord0
            source1: mainIten.sourceRecord1
            enabled: macroPage.editable
            Accessible.name: macroPage.uiText(115, "RECORD")
            onClicked: macroPage.startRecording()
        }
        Button_2state {
            id: stopButton
            objectName: "stopButton"
            anchors.right: parent.right
            anchors.rightMargin: 2
            anchors.verticalCenter: parent.verticalCenter
            source0: mainIten.sourceStop0
            source1: mainIten.sourceStop1
            enabled: macroPage.isRecordStart
            Accessible.name: macroPage.uiText(58, "STOP")
            onClicked: macroPage.stopRecording()
        }
    }

    BorderImage {
        x: actionBand.x
        y: actionBand.y + actionBand.height + 1
        width: actionBand.width
        height: fileList.height
        source: mainIten.sourceFilelist
        border.left: 8
        border.right: 8
        border.top: 8
        border.bottom: 8
    }

    ListView {
        id: actionView
        objectName: "macroActionList"
        x: actionBand.x + 1
        y: actionBand.y + actionBand.height + 1
        width: actionBand.width - 2
        height: fileList.height
        clip: true
        currentIndex: -1
        boundsBehavior: Flickable.StopAtBounds
        model: md_MacroActions
        Accessible.role: Accessible.List
        Accessible.name: macroPage.uiText(45, "ACTION")

        delegate: Item {
            id: actionRow
            objectName: "macroActionList_item" + index
            width: actionView.width
            height: 24
            readonly property bool isCurrent: index >= 0 && index === actionView.currentIndex
            readonly property string kind: model.textR === MacroMath.pressSuffix ? "press"
                                         : (model.textR === MacroMath.releaseSuffix ? "release"
                                         : (model.textR === MacroMath.delaySuffix ? "ms" : ""))

            Accessible.role: Accessible.ListItem
            Accessible.name: model.textX + (kind !== "" ? " " + kind : "")
            Accessible.selectable: true
            Accessible.selected: isCurrent
            Accessible.onPressAction: macroPage.chooseAction(index)

            Rectangle {
                anchors.fill: parent
                anchors.margins: 1
                radius: 2
                color: actionRow.isCurrent ? SkinLook.accentFaint(mainIten.skin_No)
                                           : (rowArea.containsMouse ? SkinLook.hover(mainIten.skin_No) : "transparent")
            }
            Text {
                anchors.left: parent.left
                anchors.leftMargin: 8
                anchors.right: suffixText.left
                anchors.verticalCenter: parent.verticalCenter
                elide: Text.ElideRight
                text: model.textX
                font.family: mainIten.globalSetting_fontFamily
                font.pixelSize: mainIten.globalSetting_size
                color: actionRow.isCurrent || rowArea.containsMouse ? mainIten.globalSetting_color_enable
                                                                    : mainIten.globalSetting_color
            }
            Text {
                id: suffixText
                anchors.right: parent.right
                anchors.rightMargin: 10
                anchors.verticalCenter: parent.verticalCenter
                text: String(model.textR).trim()
                font.family: mainIten.globalSetting_fontFamily
                font.pixelSize: mainIten.globalSetting_size
                color: actionRow.kind === "release" ? mainIten.globalSetting_color_disable
                                                     : mainIten.globalSetting_color_enable
            }
            MouseArea {
                id: rowArea
                anchors.fill: parent
                hoverEnabled: true
                onClicked: macroPage.chooseAction(index)
            }
        }
    }

    // DELETE, CUT, PASTE, COPY.
    Column {
        x: 454
        y: 77
        spacing: 1
        Button_2state {
            id: deleteActionButton
            objectName: "deleteActionButton"
            source0: mainIten.sourceSolidDelete0
            source1: mainIten.sourceSolidDelete1
            enabled: macroPage.editable && macroPage.hasAction
            Accessible.name: macroPage.uiText(80, "DELETE")
            onClicked: macroPage.deleteAction()
        }
        Button_2state {
            id: cutButton
            objectName: "cutButton"
            source0: mainIten.sourceSolidCut0
            source1: mainIten.sourceSolidCut1
            enabled: macroPage.editable && macroPage.hasAction
            Accessible.name: macroPage.uiText(81, "CUT")
            onClicked: macroPage.cutAction()
        }
        Button_2state {
            id: pasteButton
            objectName: "pasteButton"
            source0: mainIten.sourceSolidPaste0
            source1: mainIten.sourceSolidPaste1
            enabled: macroPage.editable && macroPage.scrapbook !== ""
            Accessible.name: macroPage.uiText(82, "PASTE")
            onClicked: macroPage.pasteAction()
        }
        Button_2state {
            id: copyButton
            objectName: "copyButton"
            source0: mainIten.sourceSolidCopy0
            source1: mainIten.sourceSolidCopy1
            enabled: macroPage.hasAction && !macroPage.isRecordStart
            Accessible.name: macroPage.uiText(83, "COPY")
            onClicked: macroPage.copyAction()
        }
    }

    // The key and delay fields with their add buttons.
    KeyInput_2 {
        id: keyField
        objectName: "keyField"
        x: 293
        y: 205
        enabled: macroPage.hasMacro && !macroPage.isRecordStart
        prefixText: macroPage.uiText(74, "KEY")
        emptyText: macroPage.uiText(118, "NONE")
    }
    Button_2state {
        id: addKeyButton
        objectName: "addKeyButton"
        x: keyField.x + keyField.width + 5
        y: keyField.y + (keyField.height - height) / 2
        source0: mainIten.sourceAdd0
        source1: mainIten.sourceAdd1
        enabled: macroPage.editable && keyField.tmpKeycodeUSB >= 0
        Accessible.name: macroPage.uiText(120, "ADD") + " " + macroPage.uiText(74, "KEY")
        onClicked: macroPage.addKey()
    }

    Item {
        id: delayBox
        x: keyField.x
        y: keyField.y + keyField.height + 4
        width: keyField.width
        height: keyField.height
        enabled: macroPage.hasMacro && !macroPage.isRecordStart
        opacity: enabled ? 1.0 : 0.5

        BorderImage {
            anchors.fill: parent
            source: mainIten.sourceBtnFrame
            border.left: 8
            border.right: 8
            border.top: 8
            border.bottom: 8
        }
        Row {
            anchors.centerIn: parent
            Text {
                text: macroPage.uiText(119, "DELAY") + "【 "
                font.family: mainIten.globalSetting_fontFamily
                font.pixelSize: mainIten.globalSetting_size
                color: mainIten.globalSetting_color
            }
            TextInput {
                id: delayInput
                objectName: "delayField"
                width: Math.max(contentWidth, 8)
                text: "1000"
                maximumLength: 5
                selectByMouse: true
                inputMethodHints: Qt.ImhDigitsOnly
                validator: RegularExpressionValidator {
                    regularExpression: /[0-9]{0,5}/
                }
                font.family: mainIten.globalSetting_fontFamily
                font.pixelSize: mainIten.globalSetting_size
                color: activeFocus ? SkinLook.accent(mainIten.skin_No) : mainIten.globalSetting_color_enable
                selectionColor: SkinLook.accent(mainIten.skin_No)
                Accessible.role: Accessible.EditableText
                Accessible.name: macroPage.uiText(119, "DELAY") + " ms"
                Keys.onReturnPressed: macroPage.commitDelay()
                Keys.onEnterPressed: macroPage.commitDelay()
                onActiveFocusChanged: if (!activeFocus) macroPage.commitDelay()
            }
            Text {
                text: " 】ms"
                font.family: mainIten.globalSetting_fontFamily
                font.pixelSize: mainIten.globalSetting_size
                color: mainIten.globalSetting_color
            }
        }
    }
    Button_2state {
        id: addDelayButton
        objectName: "addDelayButton"
        x: delayBox.x + delayBox.width + 5
        y: delayBox.y + (delayBox.height - height) / 2
        source0: mainIten.sourceAdd0
        source1: mainIten.sourceAdd1
        enabled: macroPage.editable
        Accessible.name: macroPage.uiText(120, "ADD") + " " + macroPage.uiText(119, "DELAY")
        onClicked: macroPage.addDelay()
    }

    // The picture buttons say what they do when the pointer rests on them.
    readonly property var tipButtons: [newMacroButton, deleteMacroButton, recordButton, stopButton,
        deleteActionButton, cutButton, pasteButton, copyButton, addKeyButton, addDelayButton]
    property Item hoveredButton: null
    function hoverChanged(button) {
        if (button.mouse.containsMouse && button.enabled)
            hoveredButton = button
        else if (hoveredButton === button)
            hoveredButton = null
        tip.shown = false
        if (hoveredButton)
            tipTimer.restart()
        else
            tipTimer.stop()
    }
    Instantiator {
        model: macroPage.tipButtons
        delegate: Connections {
            target: modelData.mouse
            function onContainsMouseChanged() { macroPage.hoverChanged(modelData) }
        }
    }
    Timer {
        id: tipTimer
        interval: 600
        onTriggered: {
            var b = macroPage.hoveredButton
            if (!b)
                return
            var p = b.mapToItem(macroPage, b.width / 2, b.height + 4)
            tip.text = b.Accessible.name
            tip.x = Math.max(0, Math.min(p.x - tip.width / 2, macroPage.width - tip.width))
            tip.y = p.y
            tip.shown = true
        }
    }
    Rectangle {
        id: tip
        objectName: "macroTip"
        property bool shown: false
        property alias text: tipText.text
        visible: shown
        z: 50
        width: tipText.implicitWidth + 12
        height: tipText.implicitHeight + 6
        radius: 2
        color: SkinLook.well(mainIten.skin_No)
        border.color: SkinLook.accent(mainIten.skin_No)
        Accessible.ignored: true
        Text {
            id: tipText
            anchors.centerIn: parent
            font.family: mainIten.globalSetting_fontFamily
            font.pixelSize: mainIten.globalSetting_size
            color: mainIten.globalSetting_color_enable
        }
    }

    // LOAD, SAVE, RENAME, CANCEL for the file row that was right-clicked.
    Rectangle {
        id: contextMenu
        objectName: "macroMenu"
        property bool shown: false
        width: 90
        height: 4 * 20 + 2
        z: 40
        color: SkinLook.well(mainIten.skin_No)
        border.color: SkinLook.edge(mainIten.skin_No)
        radius: 2
        opacity: shown ? 1 : 0
        visible: opacity > 0
        Behavior on opacity {
            NumberAnimation { duration: (contextMenu.shown ? 1.5 : 1.0) * mainIten.animation_speed }
        }

        Column {
            x: 1
            y: 1
            Repeater {
                model: [
                    { "name": "macroMenuLoad", "text": macroPage.uiText(84, "LOAD"), "act": 0 },
                    { "name": "macroMenuSave", "text": macroPage.uiText(85, "SAVE"), "act": 1 },
                    { "name": "macroMenuRename", "text": macroPage.uiText(112, "RENAME"), "act": 2 },
                    { "name": "macroMenuCancel", "text": macroPage.uiText(78, "CANCEL"), "act": 3 }
                ]
                delegate: Item {
                    id: entry
                    objectName: modelData.name
                    width: 88
                    height: 20
                    enabled: contextMenu.shown
                             && (modelData.act !== 0 || !macroPage.menuRowBound || macroPage.keyboardConnected)

                    function press() {
                        if (!enabled)
                            return
                        macroPage.click()
                        if (modelData.act === 0)
                            macroPage.menuLoad()
                        else if (modelData.act === 1)
                            macroPage.menuSave()
                        else if (modelData.act === 2)
                            macroPage.menuRename()
                        else
                            macroPage.closeMenu()
                    }

                    Accessible.role: Accessible.MenuItem
                    Accessible.name: modelData.text
                    Accessible.onPressAction: entry.press()

                    Rectangle {
                        anchors.fill: parent
                        color: entryArea.containsMouse ? SkinLook.hover(mainIten.skin_No) : "transparent"
                    }
                    Text {
                        anchors.left: parent.left
                        anchors.leftMargin: 8
                        anchors.verticalCenter: parent.verticalCenter
                        text: modelData.text
                        font.family: mainIten.globalSetting_fontFamily
                        font.pixelSize: mainIten.globalSetting_size
                        color: !entry.enabled ? mainIten.globalSetting_color_disable
                                              : (entryArea.containsMouse ? mainIten.globalSetting_color_enable
                                                                         : mainIten.globalSetting_color)
                    }
                    MouseArea {
                        id: entryArea
                        anchors.fill: parent
                        hoverEnabled: true
                        onClicked: entry.press()
                    }
                }
            }
        }
    }
}
