import QtQuick 2.15
import QtTest 1.15
import "../../modules/qml/basic/keyLabels.js" as KeyLabels

// The Spanish key-label maps against the key names the program really uses:
// every name of the key-code definition has a label, the shared "} ]" finds
// its way back to Eur 1, and lookups of names that are no key find nothing.
TestCase {
    name: "LabelMaps"

    // Items of an INI list as Qt writes them: comma separated, quoted when
    // they hold a comma or blanks at the ends, backslash escapes.
    function iniList(text) {
        var items = []
        var current = ""
        var quoted = false
        for (var i = 0; i < text.length; ++i) {
            var c = text[i]
            if (c === "\\" && i + 1 < text.length) {
                current += text[++i]
            } else if (c === "\"") {
                quoted = !quoted
            } else if (c === "," && !quoted) {
                items.push(current.trim())
                current = ""
            } else {
                current += c
            }
        }
        items.push(current.trim())
        return items
    }

    // The key names of layout `section` in the shipped key-code definition.
    function keyNames(section) {
        var request = new XMLHttpRequest()
        request.open("GET", Qt.resolvedUrl("../../modules/setting/KeyCodeDef.bin"), false)
        request.send()
        var lines = request.responseText.split("\n")
        var inSection = false
        for (var i = 0; i < lines.length; ++i) {
            var line = lines[i].trim()
            if (line[0] === "[")
                inSection = line === "[" + section + "]"
            else if (inSection && line.indexOf("usbStr=") === 0)
                return iniList(line.substring(7))
        }
        return []
    }

    function test_everyKeyNameHasALabel_data() {
        return [{ tag: "English layout", section: 0 }, { tag: "Spanish layout", section: 1 }]
    }
    function test_everyKeyNameHasALabel(data) {
        var names = keyNames(data.section)
        compare(names.length, 128)
        var missing = names.filter(function (n) { return KeyLabels.enTosp[n] === undefined })
        compare(missing, [])
        // And no label for a name the program never uses.
        var extra = Object.keys(KeyLabels.enTosp).filter(function (n) { return names.indexOf(n) < 0 })
        compare(extra, [])
    }

    function test_sizes() {
        compare(Object.keys(KeyLabels.enTosp).length, 128)
        // 128 pairs back, of which two share "} ]".
        compare(Object.keys(KeyLabels.sptoen).length, 127)
        var same = Object.keys(KeyLabels.enTosp).filter(function (n) { return KeyLabels.enTosp[n] === n })
        compare(same.length, 89)
    }

    function test_pairs_data() {
        return [
            { tag: "Space", en: "Space", sp: "Espacio" },
            { tag: "semicolon", en: "; :", sp: "Ñ" },
            { tag: "quote", en: "' \"", sp: "{ [" },
            { tag: "slash", en: "/ ?", sp: "- _" },
            { tag: "minus", en: "- _", sp: "' ?" },
            { tag: "equals", en: "= +", sp: "¿ ¡" },
            { tag: "Num", en: "Num", sp: "BLOQNÚM" },
            { tag: "Eur 2", en: "Eur 2", sp: "> <" },
            { tag: "R Alt", en: "R Alt", sp: "d ALTGR" },
            { tag: "backquote", en: "` ~", sp: "| °" },
            { tag: "F24", en: "F24", sp: "F24" },
            { tag: "Intl'2", en: "Intl'2", sp: "Intl'2" },
            { tag: "arrow", en: "►", sp: "►" }
        ]
    }
    function test_pairs(data) {
        compare(KeyLabels.enTosp[data.en], data.sp)
        compare(KeyLabels.sptoen[data.sp], data.en)
    }

    function test_sharedLabelGoesBackToEur1() {
        compare(KeyLabels.enTosp["Eur 1"], "} ]")
        compare(KeyLabels.enTosp["\\ |"], "} ]")
        compare(KeyLabels.sptoen["} ]"], "Eur 1")
        // Every other label leads back to where it came from.
        var keys = Object.keys(KeyLabels.enTosp)
        for (var i = 0; i < keys.length; ++i) {
            if (keys[i] !== "\\ |")
                compare(KeyLabels.sptoen[KeyLabels.enTosp[keys[i]]], keys[i], keys[i])
        }
    }

    function test_namesThatAreNoKey() {
        compare(KeyLabels.enTosp["constructor"], undefined)
        compare(KeyLabels.enTosp["toString"], undefined)
        compare(KeyLabels.sptoen["__proto__"], undefined)
        compare(KeyLabels.enTosp[""], undefined)
        compare(KeyLabels.sptoen["Eur 1"], undefined)
        // Shared by every document: nobody may change them.
        var before = KeyLabels.enTosp["Esc"]
        try {
            KeyLabels.enTosp["Esc"] = "x"
        } catch (e) {
        }
        compare(KeyLabels.enTosp["Esc"], before)
    }
}
