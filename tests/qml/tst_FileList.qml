import QtQuick 2.15
import QtTest 1.15
import "../../modules/qml/common"

Item {
    id: scene
    width: 300
    height: 300

    ControlsRoot { id: mainIten; visible: false }
    ControlsView { id: ui_View }

    FileList {
        id: files
        objectName: "macroFiles"
        x: 10
        y: 10
    }

    // Somewhere else to put the focus.
    TextInput {
        id: elsewhere
        x: 200
        y: 10
        width: 80
        height: 20
    }

    // Another list on the same page, as the key page's macro list is.
    FileList {
        id: otherList
        objectName: "otherFiles"
        x: 160
        y: 10
        mdItems: ListModel {
            ListElement { textX: "x" }
            ListElement { textX: "y" }
        }
    }

    SignalSpy { id: clickSpy; target: files; signalName: "listElementClicked" }
    SignalSpy { id: rightSpy; target: files; signalName: "listElementRightBtnClicked" }
    SignalSpy { id: startSpy; target: files; signalName: "editFileName_start" }
    SignalSpy { id: stopSpy; target: files; signalName: "editFileName_stop" }
    SignalSpy { id: doneSpy; target: files; signalName: "editFileName_completed" }

    TestCase {
        name: "FileList"
        when: windowShown

        function init() {
            files.enabled = true
            files.cancelEditFileName()
            files.mdItems.clear()
            for (var i = 0; i < 12; ++i)
                files.mdItems.append({ textX: "macro" + i, textR: "" })
            files.lvItems.currentIndex = -1
            files.lvItems.positionViewAtBeginning()
            clickSpy.clear()
            rightSpy.clear()
            startSpy.clear()
            stopSpy.clear()
            doneSpy.clear()
        }

        function row(i) {
            return findChild(files, "macroFiles_item" + i)
        }

        function editor() {
            var r = row(files.editingIndex)
            return r ? findChild(r, "macroFiles_editor") : null
        }

        Component {
            id: freshList
            FileList {}
        }

        function test_filling_the_list_chooses_nothing() {
            var fresh = createTemporaryObject(freshList, scene)
            compare(fresh.lvItems.currentIndex, -1)
            fresh.mdItems.append({ textX: "first", textR: "" })
            fresh.mdItems.append({ textX: "second", textR: "" })
            compare(fresh.lvItems.count, 2)
            compare(fresh.lvItems.currentIndex, -1)
        }

        function test_left_click_chooses_and_unchooses() {
            mouseClick(row(2))
            compare(files.lvItems.currentIndex, 2)
            compare(clickSpy.signalArguments[0][0], 2)
            mouseClick(row(3))
            compare(files.lvItems.currentIndex, 3)
            mouseClick(row(3))
            compare(files.lvItems.currentIndex, -1)
            compare(clickSpy.count, 3)
            compare(clickSpy.signalArguments[2][0], 3)
        }

        function test_right_click_reports_the_row_and_keeps_the_choice() {
            mouseClick(row(1))
            mouseClick(row(4), 10, 10, Qt.RightButton)
            compare(rightSpy.count, 1)
            compare(rightSpy.signalArguments[0][0], 4)
            compare(files.lvItems.currentIndex, 1)
            compare(clickSpy.count, 1)
        }

        function test_enter_renames_the_row() {
            files.editFileName(1)
            compare(startSpy.signalArguments[0][0], 1)
            var field = editor()
            verify(field.activeFocus)
            compare(field.selectedText, "macro1")
            keyClick("n")
            keyClick("e")
            keyClick("w")
            keyClick(Qt.Key_Return)
            compare(doneSpy.count, 1)
            compare(doneSpy.signalArguments[0][0], "macro1")
            compare(doneSpy.signalArguments[0][1], "new")
            compare(stopSpy.count, 1)
            compare(files.mdItems.get(1).textX, "new")
            compare(files.editingIndex, -1)
        }

        function test_ways_of_keeping_the_old_name_data() {
            return [
                { tag: "escape", how: "escape" },
                { tag: "focus elsewhere", how: "focus" },
                { tag: "click on a row", how: "click" },
                { tag: "list changes", how: "model" }
            ]
        }
        function test_ways_of_keeping_the_old_name(data) {
            files.editFileName(2)
            keyClick("x")
            if (data.how === "escape")
                keyClick(Qt.Key_Escape)
            else if (data.how === "focus")
                elsewhere.forceActiveFocus()
            else if (data.how === "click")
                mouseClick(row(5))
            else
                files.mdItems.append({ textX: "later", textR: "" })
            compare(files.editingIndex, -1)
            compare(stopSpy.count, 1)
            compare(doneSpy.count, 0)
            compare(files.mdItems.get(2).textX, "macro2")
        }

        function test_same_row_renamed_twice() {
            files.editFileName(2)
            files.cancelEditFileName()
            wait(100)
            files.editFileName(2)
            compare(files.editingIndex, 2)
            verify(editor().activeFocus)
            keyClick("q")
            keyClick(Qt.Key_Return)
            compare(doneSpy.signalArguments[0][1], "q")
        }

        function test_rows_leaving_another_list_leave_the_rename_alone() {
            otherList.lvItems.currentIndex = 1
            files.editFileName(1)
            otherList.mdItems.clear()
            otherList.mdItems.append({ textX: "z" })
            compare(files.editingIndex, 1)
            verify(editor().activeFocus)
            keyClick("k")
            keyClick(Qt.Key_Return)
            compare(doneSpy.signalArguments[0][1], "k")
        }

        function test_stop_ends_as_enter_does() {
            files.editFileName(0)
            keyClick("z")
            files.stopEditFileName()
            compare(doneSpy.count, 1)
            compare(doneSpy.signalArguments[0][1], "z")
            compare(stopSpy.count, 1)
            // Nothing left to stop.
            files.stopEditFileName()
            files.cancelEditFileName()
            compare(stopSpy.count, 1)
        }

        function test_empty_or_unchanged_names_rename_nothing_data() {
            return [
                { tag: "empty", keys: [Qt.Key_Delete] },
                { tag: "blanks", keys: [" ", " "] },
                { tag: "unchanged", keys: [] }
            ]
        }
        function test_empty_or_unchanged_names_rename_nothing(data) {
            files.editFileName(3)
            for (var i = 0; i < data.keys.length; ++i)
                keyClick(data.keys[i])
            keyClick(Qt.Key_Return)
            compare(doneSpy.count, 0)
            compare(stopSpy.count, 1)
            compare(files.mdItems.get(3).textX, "macro3")
        }

        function test_names_cannot_leave_the_folder() {
            files.editFileName(0)
            var chars = [".", ".", "/", "e", "\\", "v", "i", "l"]
            for (var i = 0; i < chars.length; ++i)
                keyClick(chars[i])
            keyClick(Qt.Key_Return)
            compare(doneSpy.signalArguments[0][1], "..evil")
        }

        function test_rename_of_a_row_out_of_sight_scrolls_to_it() {
            files.editFileName(11)
            verify(editor() !== null)
            verify(editor().activeFocus)
            verify(files.lvItems.contentY > 0)
        }

        function test_disabled_list_ignores_the_user() {
            files.enabled = false
            mouseClick(row(1))
            mouseClick(row(1), 10, 10, Qt.RightButton)
            files.editFileName(1)
            compare(clickSpy.count + rightSpy.count + startSpy.count, 0)
            compare(files.lvItems.currentIndex, -1)
            // Disabling ends a rename in progress.
            files.enabled = true
            files.editFileName(1)
            files.enabled = false
            compare(files.editingIndex, -1)
            compare(stopSpy.count, 1)
        }

        function test_accessibility() {
            compare(files.Accessible.role, Accessible.List)
            var r = row(2)
            compare(r.Accessible.role, Accessible.ListItem)
            compare(r.Accessible.name, "macro2")
            r.Accessible.pressAction()
            compare(files.lvItems.currentIndex, 2)
            compare(r.Accessible.selected, true)
            files.editFileName(2)
            compare(editor().Accessible.role, Accessible.EditableText)
        }
    }
}
