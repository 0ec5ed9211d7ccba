// Converts between key names, USB usage codes and key matrix positions, for
// the key assignment and macro pages. Filled once by initUI from the view's
// key-code definition and hardware table.
import QtQuick 2.15

QtObject {
    id: converter

    // Null-prototype objects, so that a name such as "toString" is absent
    // rather than found on Object.
    property var str2keycode: Object.create(null)
    property var keycode2str: Object.create(null)
    property var matrix2keycode: Object.create(null)
    property var keycode2matrix: Object.create(null)

    // _HWDef: [total_HW, total_FW, then six items per key row: x, y, key
    // type, label, matrix position, default key code]. _UsbStr and _UsbCode:
    // key names and their usages, paired up to the shorter list.
    function initUI(_HWDef, _UsbStr, _UsbCode) {
        var s2k = Object.create(null)
        var k2s = Object.create(null)
        var m2k = Object.create(null)
        var k2m = Object.create(null)

        var names = listOf(_UsbStr)
        var codes = listOf(_UsbCode)
        var pairs = Math.min(names.length, codes.length)
        for (var i = 0; i < pairs; ++i) {
            var code = toCode(codes[i])
            if (code === undefined)
                continue
            var name = String(names[i])
            s2k[name] = code
            k2s[code] = name
        }

        var hw = listOf(_HWDef)
        var rows = hw.length >= 2 ? toCode(hw[0]) : 0
        if (rows === undefined)
            rows = 0
        // A table that claims more rows than it carries is read as far as
        // it goes.
        rows = Math.min(rows, Math.floor((hw.length - 2) / 6))
        for (var r = 0; r < rows; ++r) {
            var base = 2 + 6 * r
            var matrix = toCode(hw[base + 4])
            var keycode = toCode(hw[base + 5])
            if (matrix === undefined || keycode === undefined)
                continue
            m2k[matrix] = keycode
            // Keys without a function (Fn, the profile keys) all hold 0; no
            // usage leads to them.
            if (keycode !== 0)
                k2m[keycode] = matrix
        }

        str2keycode = s2k
        keycode2str = k2s
        matrix2keycode = m2k
        keycode2matrix = k2m
    }

    function strTokeycode(str) {
        return str2keycode[str]
    }
    function keycodeTostr(keycode) {
        return keycode2str[keycode]
    }
    function matrixTokeycode(matrix) {
        return matrix2keycode[matrix]
    }
    function keycodeTomatrix(keycode) {
        return keycode2matrix[keycode]
    }

    // The 1-based position of the lowest set bit of b, 0 when none is set.
    function logByte(b) {
        var v = Number(b)
        if (!isFinite(v))
            return 0
        v = v >>> 0
        if (v === 0)
            return 0
        var position = 1
        while ((v & 1) === 0) {
            v = v >>> 1
            ++position
        }
        return position
    }

    // The items of a list from the view (an array, or a sequence of the
    // engine's own), or none for anything else.
    function listOf(value) {
        if (Array.isArray(value))
            return value
        if (value && typeof value === "object" && typeof value.length === "number")
            return Array.prototype.slice.call(value)
        return []
    }

    // A non-negative integer from a number or its decimal text (the view
    // hands lists over as texts); undefined for anything else.
    function toCode(value) {
        if (typeof value === "string" && value.trim() === "")
            return undefined
        var n = Number(value)
        if (!isFinite(n) || n < 0 || Math.floor(n) !== n)
            return undefined
        return n
    }
}
