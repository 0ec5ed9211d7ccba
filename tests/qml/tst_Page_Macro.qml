import QtQuick 2.15
import QtTest 1.15
import Gearpanel 1.0
import "../../modules/qml/Q3"

// The macro page on stand-ins of the root, the keyboard's main page and the
// view, whose macro store lives in memory: choosing files, recording and its
// bounds, adding keys and delays, cut, copy and paste, Spanish key names,
// new, deleted and renamed files, the right-click menu, and what follows a
// change of profile or a keyboard that went away.
Item {
    id: mainIten
    width: 1000
    height: 600

    property int globalSetting_size: 11
    property color globalSetting_color: "#ff6e6e6e"
    property color globalSetting_color_enable: "#ffffffff"
    property color globalSetting_color_disable: "#FFAAAAAA"
    property string globalSetting_fontFamily: "Exo"
    property var globalSetting_stringList: []
    property int animation_speed: 10
    property int skin_No: 1
    property int profile: 0
    property int layout: 0
    property bool keyboardConnected: true
    property var enTosp: ({ "; :": "\u00D1" })
    property var sptoen: ({ "\u00D1": "; :" })
    readonly property string skinFolder: "file:modules/img/skin1/"
    property url sourceFnMacroBackground: skinFolder + "list_center/fnMacroBackground.png"
    property url sourceFilelist: skinFolder + "common/filelist_BASE.png"
    property url sourceBtnFrame: skinFolder + "common/btnFrame.png"
    property url sourceAdd0: skinFolder + "common/add_0.png"
    property url sourceAdd1: skinFolder + "common/add_1.png"
    property url sourceDelete0: skinFolder + "common/delete_0.png"
    property url sourceDelete1: skinFolder + "common/delete_1.png"
    property url sourceRecord0: skinFolder + "common/record_0.png"
    property url sourceRecord1: skinFolder + "common/record_1.png"
    property url sourceStop0: skinFolder + "common/stop_0.png"
    property url sourceStop1: skinFolder + "common/stop_1.png"
    property url sourceSolidDelete0: skinFolder + "common/solid-delete_0.png"
    property url sourceSolidDelete1: skinFolder + "common/solid-delete_1.png"
    property url sourceSolidCut0: skinFolder + "common/solid-cut_0.png"
    property url sourceSolidCut1: skinFolder + "common/solid-cut_1.png"
    property url sourceSolidPaste0: skinFolder + "common/solid-paste_0.png"
    property url sourceSolidPaste1: skinFolder + "common/solid-paste_1.png"
    property url sourceSolidCopy0: skinFolder + "common/solid-copy_0.png"
    property url sourceSolidCopy1: skinFolder + "common/solid-copy_1.png"

    readonly property string press: "       [\u25BC]"
    readonly property string release: "       [\u25B2]"
    readonly property string ms: "      [ms]"

    // The macro store of one profile folder per profile:
    // name -> { lines, index, repeat }.
    QtObject {
        id: ui_View
        property var folders: [({}), ({}), ({}), ({})]
        property var calls: []
        property var importLines: []
        // What saveMacroIni answers for a file that exists; false stands for
        // a file removed behind the page's back.
        property bool saveWorks: true
        function files() { return folders[mainIten.profile] }
        function record(call) { calls = calls.concat([call]) }
        function named(prefix) { return calls.filter(function (c) { return c.indexOf(prefix) === 0 }) }
        function playMedia_Index(n) { }
        function getMacroIniNames() {
            return Object.keys(files()).sort(function (a, b) {
                return a.toLowerCase() < b.toLowerCase() ? -1 : 1
            }).map(function (n) { return n + ".bin" })
        }
        function createMacroIni() {
            for (var n = 1; ; ++n) {
                var name = "Macro. " + ("00" + n).slice(-3)
                if (files()[name] === undefined) {
                    files()[name] = { "lines": [], "index": -1, "repeat": 1 }
                    return name
                }
            }
        }
        function deleteMacroIni(name) {
            var had = files()[name] !== undefined
            delete files()[name]
            return had
        }
        function renameMacroIniFile(from, to) {
            record("rename " + from + " -> " + to)
            to = String(to)
            if (files()[from] === undefined || files()[to] !== undefined || to === "" || to === ".."
                    || to.indexOf("/") >= 0)
                return
            files()[to] = files()[from]
            delete files()[from]
        }
        function loadMacroIni(name) { return files()[name] === undefined ? [] : files()[name].lines.slice() }
        function saveMacroIni(name, lines) {
            var f = files()[name]
            if (f === undefined || !saveWorks)
                return false
            f.lines = lines.slice()
            record("save " + name)
            if (f.index >= 0 && f.index < 17)
                record("send " + f.index + " " + name)
            return true
        }
        function loadMacroIniConfig(name) {
            var f = files()[name]
            return f === undefined ? [] : [f.index, f.repeat]
        }
        function loadMacroIniFromFile(name) {
            record("import " + name)
            if (files()[name] !== undefined)
                files()[name].lines = importLines.slice()
        }
        function saveMacroIniToFile(name) { record("export " + name) }
    }

    ControlsKeyNames { id: _KeyCodeString }

    Item {
        id: main_Q3
        signal msg_KB(bool isDown, int usbCode)
        property QtObject keyPage: QtObject {
            property int refreshed: 0
            function refreshMacroList() { refreshed += 1 }
        }
    }

    Page_Macro {
        id: page
    }

    TestCase {
        id: testCase
        name: "Page_Macro"
        when: windowShown

        // Rows of the lists are made once the views lay out again.
        function child(name) {
            var item = null
            tryVerify(function () { item = findChild(page, name); return item !== null }, 1000, name)
            return item
        }
        function click(name) {
            var item = child(name)
            tryVerify(function () { return item.visible }, 1000, name)
            mouseClick(item, item.width / 2, item.height / 2)
        }
        function rightClick(name) {
            var item = child(name)
            verify(item, name)
            mouseClick(item, item.width / 2, item.height / 2, Qt.RightButton)
        }
        function rows() {
            var out = []
            for (var i = 0; i < page.actionModel.count; ++i)
                out.push(page.actionModel.get(i).textX + page.actionModel.get(i).textR)
            return out
        }
        function fileNames() {
            var out = []
            for (var i = 0; i < page.fileModel.count; ++i)
                out.push(page.fileModel.get(i).textX)
            return out
        }
        function stored(name) { return ui_View.files()[name].lines }
        function key(isDown, code) { main_Q3.msg_KB(isDown, code) }
        function tap(code) { key(true, code); key(false, code) }
        function chooseFile(name) {
            var i = fileNames().indexOf(name)
            verify(i >= 0, name)
            if (page.fileList.lvItems.currentIndex !== i)
                click("macroFileList_item" + i)
            compare(page.getCurrentMacroName(), name)
        }

        function init() {
            mainIten.profile = 0
            mainIten.layout = 0
            mainIten.keyboardConnected = true
            page.visible = true
            ui_View.folders = [({
                "Macro. 001": { "lines": ["B" + press, "100" + ms, "B" + release], "index": -1, "repeat": 1 },
                "Bound": { "lines": ["Esc" + press, "Esc" + release], "index": 3, "repeat": 1 }
            }), ({ "Other": { "lines": [], "index": -1, "repeat": 1 } }), ({}), ({})]
            ui_View.calls = []
            ui_View.saveWorks = true
            page.fileList.lvItems.currentIndex = -1
            page.scrapbook = ""
            page.keyField.setKeycodeUSB(-1)
            page.delayValue = 1000
            page.delayField.text = "1000"
            page.initUI()
        }
        function cleanup() {
            page.stopRecording()
            page.closeMenu()
            page.fileList.cancelEditFileName()
            tryVerify(function () { return !child("macroMenu").visible })
        }

        function test_filesAndChoice() {
            compare(fileNames(), ["Bound", "Macro. 001"])
            compare(page.getCurrentMacroName(), undefined)
            compare(rows(), [])
            verify(!child("recordButton").enabled)
            chooseFile("Macro. 001")
            compare(rows(), ["B" + press, "100" + ms, "B" + release])
            compare(child("macroActionList_item1").Accessible.name, "100 ms")
            compare(child("macroActionList_item0").Accessible.name, "B press")
            // A second click on the chosen file lets it go.
            click("macroFileList_item1")
            compare(page.getCurrentMacroName(), undefined)
            compare(rows(), [])
        }

        function test_recordKeysAsPressAndRelease() {
            chooseFile("Macro. 001")
            click("recordButton")
            verify(page.isRecordStart)
            compare(rows(), [])
            verify(!page.fileList.enabled)
            verify(!child("newMacroButton").enabled)
            key(true, 4)
            key(false, 4)
            // A code without a name is left out.
            tap(200)
            click("stopButton")
            verify(!page.isRecordStart)
            compare(rows(), ["A" + press, "A" + release])
            compare(stored("Macro. 001"), ["A" + press, "A" + release])
            verify(page.fileList.enabled)
        }

        function test_recordWithoutMacroDoesNotStart() {
            page.startRecording()
            verify(!page.isRecordStart)
            tap(4)
            compare(rows(), [])
        }

        function test_recordingStopsWhereTheBlockIsFull() {
            chooseFile("Macro. 001")
            page.startRecording()
            for (var i = 0; i < 70; ++i)
                tap(i % 2 ? 4 : 5)
            verify(!page.isRecordStart)
            var lines = stored("Macro. 001")
            compare(lines.length, 62)
            compare(lines[61], "B" + release)
            compare(MacroMath.streamBytes(lines), 128)
        }

        function test_heldKeysEndReleased() {
            chooseFile("Macro. 001")
            page.startRecording()
            // Shift held through a long run of letters: the letter that would
            // leave no room for Shift's release ends the recording.
            key(true, 225)
            for (var i = 0; i < 40; ++i)
                tap(4)
            verify(!page.isRecordStart)
            var lines = stored("Macro. 001")
            compare(lines[lines.length - 1], "L Shift" + release)
            verify(MacroMath.streamBytes(lines) <= 128)
            compare(lines.filter(function (l) { return l === "A" + press }).length,
                    lines.filter(function (l) { return l === "A" + release }).length)

            // STOP with a key still down releases it too.
            page.startRecording()
            key(true, 4)
            page.stopRecording()
            compare(stored("Macro. 001"), ["A" + press, "A" + release])
        }

        function test_recordingEndsWhenThePageOrWindowGoes() {
            chooseFile("Macro. 001")
            page.startRecording()
            tap(4)
            page.visible = false
            verify(!page.isRecordStart)
            compare(stored("Macro. 001"), ["A" + press, "A" + release])
            tap(5)
            compare(stored("Macro. 001"), ["A" + press, "A" + release])

            page.visible = true
            page.startRecording()
            tap(5)
            page.windowHidden()
            verify(!page.isRecordStart)
            tap(4)
            compare(stored("Macro. 001"), ["B" + press, "B" + release])
        }

        function test_profileChangeRebuildsTheList() {
            chooseFile("Macro. 001")
            page.startRecording()
            tap(4)
            mainIten.profile = 1
            page.profileChanged()
            verify(!page.isRecordStart)
            // The recording belonged to the old folder, which keeps its lines,
            // and nothing was written into the new one.
            compare(ui_View.folders[0]["Macro. 001"].lines, ["B" + press, "100" + ms, "B" + release])
            compare(ui_View.named("save"), [])
            compare(fileNames(), ["Other"])
            compare(page.getCurrentMacroName(), undefined)
            compare(rows(), [])
            mainIten.profile = 0
            page.profileChanged()
            compare(fileNames(), ["Bound", "Macro. 001"])
        }

        function test_addKeyBeforeTheChosenRow() {
            chooseFile("Macro. 001")
            verify(!child("addKeyButton").enabled)
            click("keyField")
            verify(page.keyField.isSelect)
            key(true, 41)
            verify(!page.keyField.isSelect)
            compare(page.keyField.tmpKeycodeUSB, 41)
            // The capture takes the key; nothing else sees it.
            compare(rows().length, 3)
            click("macroActionList_item1")
            click("addKeyButton")
            compare(rows(), ["B" + press, "Esc" + press, "Esc" + release, "100" + ms, "B" + release])
            compare(page.actionList.currentIndex, 3)
            compare(stored("Macro. 001"), rows())
            // No row chosen: appended.
            click("macroActionList_item3")
            click("addKeyButton")
            compare(rows().slice(5), ["Esc" + press, "Esc" + release])
        }

        function test_delayField_data() {
            return [
                { tag: "5 becomes 10", text: "5", value: 10 },
                { tag: "0 becomes 10", text: "0", value: 10 },
                { tag: "250 stays", text: "250", value: 250 },
                { tag: "five nines are cut", text: "99999", value: 65535 },
                { tag: "empty keeps the last value", text: "", value: 1000 }
            ]
        }
        function test_delayField(data) {
            page.delayValue = 1000
            chooseFile("Macro. 001")
            var field = child("delayField")
            mouseClick(field, 2, field.height / 2)
            verify(field.activeFocus)
            field.selectAll()
            keyClick(Qt.Key_Delete)
            for (var i = 0; i < data.text.length; ++i)
                keyClick(data.text.charAt(i))
            keyClick(Qt.Key_Return)
            compare(page.delayValue, data.value)
            compare(field.text, String(data.value))
            click("addDelayButton")
            compare(rows()[rows().length - 1], data.value + ms)
            compare(stored("Macro. 001")[rows().length - 1], data.value + ms)
        }

        function test_delayFieldTakesOnlyDigits() {
            chooseFile("Macro. 001")
            var field = child("delayField")
            mouseClick(field, 2, field.height / 2)
            field.selectAll()
            keyClick(Qt.Key_Delete)
            keyClick(Qt.Key_Minus)
            keyClick(Qt.Key_A)
            for (var i = 0; i < 7; ++i)
                keyClick(Qt.Key_7)
            compare(field.text, "77777")
            page.lostFocus()
            compare(page.delayValue, 65535)
            verify(!field.activeFocus)
        }

        function test_cutPastesOnceCopyPastesAgain() {
            chooseFile("Macro. 001")
            verify(!child("pasteButton").enabled)
            click("macroActionList_item1")
            click("cutButton")
            compare(rows(), ["B" + press, "B" + release])
            compare(stored("Macro. 001"), rows())
            verify(child("pasteButton").enabled)
            click("pasteButton")
            compare(rows(), ["B" + press, "B" + release, "100" + ms])
            verify(!child("pasteButton").enabled)
            page.pasteAction()
            compare(rows().length, 3)

            click("macroActionList_item0")
            click("copyButton")
            click("macroActionList_item0")
            click("pasteButton")
            click("pasteButton")
            compare(rows(), ["B" + press, "B" + release, "100" + ms, "B" + press, "B" + press])
            compare(stored("Macro. 001"), rows())
            // The clipboard outlives a change of file.
            chooseFile("Bound")
            verify(child("pasteButton").enabled)
            click("macroActionList_item0")
            click("deleteActionButton")
            compare(stored("Bound"), ["Esc" + release])
        }

        function test_spanishNamesShownAndStoredInEnglish() {
            mainIten.layout = 1
            ui_View.files()["Macro. 001"].lines = ["; :" + press, "; :" + release]
            chooseFile("Macro. 001")
            compare(rows(), ["\u00D1" + press, "\u00D1" + release])
            page.startRecording()
            tap(51)
            tap(4)
            page.stopRecording()
            compare(rows()[0], "\u00D1" + press)
            compare(stored("Macro. 001"), ["; :" + press, "; :" + release, "A" + press, "A" + release])
        }

        function test_newAndDeleteMacro() {
            var before = main_Q3.keyPage.refreshed
            click("newMacroButton")
            compare(fileNames(), ["Bound", "Macro. 001", "Macro. 002"])
            compare(page.getCurrentMacroName(), "Macro. 002")
            compare(rows(), [])
            verify(main_Q3.keyPage.refreshed > before)
            verify(child("recordButton").enabled)

            before = main_Q3.keyPage.refreshed
            click("deleteMacroButton")
            compare(fileNames(), ["Bound", "Macro. 001"])
            compare(page.getCurrentMacroName(), undefined)
            verify(!child("deleteMacroButton").enabled)
            verify(main_Q3.keyPage.refreshed > before)
        }

        function test_renameShowsWhatIsOnDisk_data() {
            return [
                { tag: "a name that exists", newName: "Bound", done: false },
                { tag: "a path", newName: "../x", done: false },
                { tag: "a new name", newName: "Fire", done: true }
            ]
        }
        function test_renameShowsWhatIsOnDisk(data) {
            chooseFile("Macro. 001")
            rightClick("macroFileList_item1")
            verify(child("macroMenu").shown)
            click("macroMenuRename")
            verify(!child("macroMenu").shown)
            compare(page.fileList.editingIndex, 1)
            // The field refuses "/", so the hostile name reaches the view
            // only when the row's text is set directly.
            page.fileList.mdItems.setProperty(1, "textX", "Macro. 001")
            page.renamed("Macro. 001", data.newName, true)
            page.fileList.cancelEditFileName()
            var expected = data.done ? ["Bound", "Fire"] : ["Bound", "Macro. 001"]
            compare(fileNames(), expected)
            compare(page.getCurrentMacroName(), data.done ? "Fire" : "Macro. 001")
            compare(rows(), ["B" + press, "100" + ms, "B" + release])
            page.addDelay()
            compare(ui_View.files()[page.getCurrentMacroName()].lines.length, 4)
        }

        function test_renameTypedInTheRow() {
            rightClick("macroFileList_item0")
            click("macroMenuRename")
            var editor = child("renameField")
            verify(editor)
            tryVerify(function () { return editor.activeFocus })
            keyClick(Qt.Key_Z)
            keyClick(Qt.Key_Return)
            compare(ui_View.named("rename"), ["rename Bound -> z"])
            compare(fileNames(), ["Macro. 001", "z"])
        }

        function test_menuLoadSaveCancel() {
            chooseFile("Macro. 001")
            ui_View.importLines = ["A" + press]
            rightClick("macroFileList_item1")
            click("macroMenuLoad")
            compare(ui_View.named("import"), ["import Macro. 001"])
            compare(rows(), ["A" + press])
            rightClick("macroFileList_item0")
            click("macroMenuSave")
            compare(ui_View.named("export"), ["export Bound"])
            rightClick("macroFileList_item0")
            click("macroMenuCancel")
            verify(!child("macroMenu").shown)
            compare(ui_View.calls.length, 2)
            // No menu while recording.
            page.startRecording()
            page.openMenu(0)
            verify(!child("macroMenu").shown)
        }

        function test_boundMacroWaitsForTheKeyboard() {
            chooseFile("Bound")
            verify(page.currentBound)
            click("macroActionList_item0")
            click("copyButton")
            mainIten.keyboardConnected = false
            verify(!child("recordButton").enabled)
            verify(!child("deleteActionButton").enabled)
            verify(!child("pasteButton").enabled)
            verify(!child("addDelayButton").enabled)
            page.pasteAction()
            compare(ui_View.named("send"), [])
            rightClick("macroFileList_item0")
            verify(!child("macroMenuLoad").enabled)
            verify(child("macroMenuSave").enabled)
            click("macroMenuCancel")
            // An unbound macro is edited as ever.
            chooseFile("Macro. 001")
            verify(child("addDelayButton").enabled)
            mainIten.keyboardConnected = true
            chooseFile("Bound")
            click("addDelayButton")
            compare(ui_View.named("send"), ["send 3 Bound"])
        }

        function test_aFileGoneBehindThePage() {
            chooseFile("Macro. 001")
            delete ui_View.files()["Macro. 001"]
            click("addDelayButton")
            compare(fileNames(), ["Bound"])
            compare(rows(), [])
            compare(page.getCurrentMacroName(), undefined)
        }

        function test_pictureButtonsSayWhatTheyDo() {
            chooseFile("Macro. 001")
            var record = child("recordButton")
            mouseMove(page, 5, 5)
            mouseMove(record, record.width / 2, record.height / 2)
            var tip = child("macroTip")
            tryVerify(function () { return tip.visible }, 2000)
            compare(tip.text, "RECORD")
            mouseMove(page, 5, 5)
            verify(!tip.visible)
        }

        function test_everyControlIsNamed() {
            chooseFile("Macro. 001")
            rightClick("macroFileList_item0")
            var names = ["macroFileList", "macroActionList", "recordButton", "stopButton", "addKeyButton",
                         "addDelayButton", "deleteActionButton", "cutButton", "pasteButton", "copyButton",
                         "keyField", "delayField", "newMacroButton", "deleteMacroButton", "macroMenuLoad",
                         "macroMenuSave", "macroMenuRename", "macroMenuCancel", "macroFileList_item0",
                         "macroActionList_item0"]
            for (var i = 0; i < names.length; ++i) {
                var item = child(names[i])
                verify(item, names[i])
                verify(item.Accessible.role !== Accessible.NoRole, names[i])
                verify(String(item.Accessible.name) !== "", names[i])
            }
            compare(child("recordButton").Accessible.name, "RECORD")
            compare(child("keyField").Accessible.name, "KEY【 NONE 】")
            page.closeMenu()
        }
    }
}
