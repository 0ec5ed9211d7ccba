import QtQuick 2.15
import QtTest 1.15
import Gearpanel 1.0

// The arithmetic singleton as QML sees it: the tables are tested in C++;
// here only that the registration reaches QML and values cross unchanged.
TestCase {
    name: "UiMath"

    function test_reachable() {
        var c = UiMath.stripColor(95, 96)
        compare(c.length, 3)
        compare(c[0], 0)
        compare(UiMath.brightnessValue(0), 45)
        compare(UiMath.toInt("3", 0, 7, 7), 3)
        compare(UiMath.toBool("false", true), false)
        var col = UiMath.textColor(1, 2, 3, 7)
        compare(Math.round(col.r * 255), 1)
        compare(col.a, 1)
    }
}
