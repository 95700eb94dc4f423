// swf 7
// Locals kept in registers and counted up or down: as a statement the register keeps the new
// number; where the count is used (x = i++, x = ++j) the expression sees the right value; a
// text or undefined is converted first.
function counts() {
    var i = 0;
    var j = 10;
    for (var k = 0; k < 3; k++) {
        i++;
        j--;
    }
    var seen = i++;
    var before = ++j;
    var s = "4";
    s++;
    var u;
    u--;
    return [i, j, k, seen, before, s, typeof s, u].join(",");
}
trace(counts());
trace(counts());
