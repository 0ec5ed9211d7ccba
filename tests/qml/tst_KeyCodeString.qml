import QtQuick 2.15
import QtTest 1.15
import "../../modules/qml/Q3"

// The key-name converter: lists as the view hands them over (numbers as
// text), lists of unequal length, damaged hardware tables, and lookups of
// what is not there.
TestCase {
    name: "KeyCodeString"

    KeyCodeString {
        id: converter
    }

    // Four key rows as loadHWDef gives them: Esc, A, Fn (no function) and
    // the Spanish ISO key whose usage is 0x32.
    readonly property var hwDef: [4, 128,
        10, 20, 1, "Esc", 0, 41,
        40, 80, 1, "A", 49, 4,
        300, 196, 2, "Fn", 89, 0,
        380, 112, 1, "} ]", 45, 50]

    function init() {
        converter.initUI(hwDef, ["A", "B", "Esc", "; :", "Extra"], ["4", "5", "41", "51"])
    }

    function test_lookups_data() {
        return [
            { tag: "name to code", f: "strTokeycode", arg: "Esc", expected: 41 },
            { tag: "code to name", f: "keycodeTostr", arg: 51, expected: "; :" },
            { tag: "code as text", f: "keycodeTostr", arg: "4", expected: "A" },
            { tag: "matrix to code", f: "matrixTokeycode", arg: 45, expected: 50 },
            { tag: "code to matrix", f: "keycodeTomatrix", arg: 4, expected: 49 },
            { tag: "key without function", f: "matrixTokeycode", arg: 89, expected: 0 },
            // Several keys hold 0; no usage leads to any of them.
            { tag: "no usage 0", f: "keycodeTomatrix", arg: 0, expected: undefined },
            { tag: "name beyond the codes", f: "strTokeycode", arg: "Extra", expected: undefined },
            { tag: "unknown name", f: "strTokeycode", arg: "Nope", expected: undefined },
            { tag: "unknown code", f: "keycodeTostr", arg: 200, expected: undefined },
            { tag: "unknown matrix", f: "matrixTokeycode", arg: 127, expected: undefined },
            { tag: "inherited name", f: "strTokeycode", arg: "toString", expected: undefined },
            { tag: "inherited key", f: "keycodeTomatrix", arg: "constructor", expected: undefined },
            { tag: "undefined", f: "keycodeTostr", arg: undefined, expected: undefined }
        ]
    }
    function test_lookups(data) {
        compare(converter[data.f](data.arg), data.expected)
    }

    function test_codesAreNumbers() {
        // Macro encoding adds to these; text would concatenate.
        compare(typeof converter.strTokeycode("A"), "number")
        compare(converter.strTokeycode("A") + 1, 5)
    }

    function test_reinitialisingReplacesEverything() {
        converter.initUI([1, 128, 0, 0, 1, "B", 3, 5], ["B"], [5])
        compare(converter.strTokeycode("A"), undefined)
        compare(converter.keycodeTostr(41), undefined)
        compare(converter.matrixTokeycode(0), undefined)
        compare(converter.matrixTokeycode(3), 5)
        compare(converter.keycodeTostr(5), "B")
    }

    function test_damagedInput_data() {
        return [
            { tag: "nothing", hw: undefined, names: undefined, codes: undefined },
            { tag: "empty lists", hw: [], names: [], codes: [] },
            { tag: "more rows claimed than given", hw: [1000000, 128, 1, 2, 1, "X", 7, 9, 5], names: [], codes: [] },
            { tag: "not lists", hw: "4, 128", names: "A", codes: 4 },
            { tag: "junk numbers", hw: [2, 128, 0, 0, 1, "X", "seven", 9, 0, 0, 1, "Y", -3, 9], names: ["A", "B"], codes: ["", "x"] }
        ]
    }
    function test_damagedInput(data) {
        converter.initUI(data.hw, data.names, data.codes)
        compare(converter.strTokeycode("A"), undefined)
        compare(converter.keycodeTomatrix(9), data.tag === "more rows claimed than given" ? 7 : undefined)
    }

    function test_logByte_data() {
        return [
            { tag: "0", b: 0, expected: 0 },
            { tag: "1", b: 1, expected: 1 },
            { tag: "2", b: 2, expected: 2 },
            { tag: "3", b: 3, expected: 1 },
            { tag: "6", b: 6, expected: 2 },
            { tag: "0x40", b: 0x40, expected: 7 },
            { tag: "0x80", b: 0x80, expected: 8 },
            { tag: "0xF0", b: 0xF0, expected: 5 },
            { tag: "0x100", b: 0x100, expected: 9 },
            { tag: "text", b: "8", expected: 4 },
            { tag: "undefined", b: undefined, expected: 0 },
            { tag: "not a number", b: "x", expected: 0 }
        ]
    }
    function test_logByte(data) {
        compare(converter.logByte(data.b), data.expected)
    }
}
