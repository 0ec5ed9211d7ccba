// Key labels of the Spanish keyboard. Macro files and the key-code
// definition always name keys by their English labels; with a Spanish
// keyboard (layout 1) the pages show the labels printed on its key caps and
// translate them back before saving.
.pragma library

// Labels printed alike on both keyboards.
var sameOnBoth = [
    "A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M",
    "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z",
    "1", "2", "3", "4", "5", "6", "7", "8", "9", "0",
    "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12",
    "F13", "F14", "F15", "F16", "F17", "F18", "F19", "F20", "F21", "F22", "F23", "F24",
    "►", "◄", "▼", "▲",
    "KP /", "KP *", "KP -", "KP +", "KP 1", "KP 2", "KP 3", "KP 4", "KP 5",
    "KP 6", "KP 7", "KP 8", "KP 9", "KP 0", "KP .", "KP =", "KP ,",
    "Power",
    "Int'l 1", "Intl'2", "Int'l 2", "Int'l 4", "Int'l 5", "Lang 1", "Lang 2"
]

// English label, Spanish label.
var differing = [
    ["Enter", "INTRO"], ["Esc", "ESC"], ["Back", "RETROCEDER"],
    ["Tab", "TAB"], ["Space", "Espacio"], ["- _", "' ?"],
    ["= +", "¿ ¡"], ["[ {", "´ ¨"], ["] }", "+ *"],
    ["Eur 1", "} ]"], ["; :", "Ñ"], ["' \"", "{ ["],
    [", <", ", ;"], [". >", ". :"], ["/ ?", "- _"],
    ["Caps", "BLQMAYÚS"], ["Prt", "IMPNTPTSIS"], ["Scr", "BLQDESPL"],
    ["Pau", "PAUSAINTER"],
    ["Ins", "INS"], ["Hom", "INIC"], ["PgU", "REPG"],
    ["Del", "SUPR"], ["End", "FIN"], ["PgD", "AVPG"],
    ["Num", "BLOQNÚM"], ["KP Enter", "KP INTRO"], ["Eur 2", "> <"],
    ["App", "MENÚ"], ["L Ctrl", "i CTRL"], ["L Shift", "i MAYÚS"],
    ["L Alt", "i ALTGR"], ["L WIN", "i WIN"], ["R Ctrl", "d CTRL"],
    ["R Shift", "d MAYÚS"], ["R Alt", "d ALTGR"], ["R WIN", "d WIN"],
    // The ISO key beside Enter carries "} ]" as Eur 1 does; the English
    // board's backslash key stands in its place.
    ["\\ |", "} ]"], ["` ~", "| °"]
]

// Null-prototype objects: a lookup of a name such as "constructor" must
// find nothing rather than a function inherited from Object.
function build(reverse) {
    var map = Object.create(null)
    var i
    for (i = 0; i < sameOnBoth.length; ++i)
        map[sameOnBoth[i]] = sameOnBoth[i]
    for (i = 0; i < differing.length; ++i) {
        var from = differing[i][reverse ? 1 : 0]
        var to = differing[i][reverse ? 0 : 1]
        // Two English labels share "} ]": the first, Eur 1, is its way back.
        if (!(from in map))
            map[from] = to
    }
    return Object.freeze(map)
}

var enTosp = build(false)
var sptoen = build(true)
