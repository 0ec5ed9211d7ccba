// Colours of the drawn parts (pop-up lists and menus) that have no picture
// in the skins; they match the wells and accents the skin painter uses, so
// a list looks like it belongs to the field it unrolls from.
.pragma library

function accent(skinNo) {
    return skinNo === 2 ? "#2aa4f4" : "#ffa31a"
}

// The chosen row behind its text: the accent, faint.
function accentFaint(skinNo) {
    return skinNo === 2 ? "#502aa4f4" : "#50ffa31a"
}

function well(skinNo) {
    return skinNo === 2 ? "#f22c3746" : "#f2111316"
}

function edge(skinNo) {
    return skinNo === 2 ? "#b417202c" : "#be000000"
}

// Rows under the pointer.
function hover(skinNo) {
    return skinNo === 2 ? "#30ffffff" : "#22ffffff"
}
