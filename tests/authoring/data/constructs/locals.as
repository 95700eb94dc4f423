// parameters and var locals: assignments, updates, loops, shadowing and functions held in locals
var outer = "timeline";
function updates(a, b) {
    var x = a;
    x += b;
    var post = x++;
    var pre = ++x;
    var down = x--;
    x *= 2;
    return [a, b, x, post, pre, down].join(",");
}
trace(updates(3, 4));
function shadow(outer) {
    var result = outer;
    outer = "changed";
    return result + " " + outer;
}
trace(shadow("parameter") + " " + outer);
function keepsUndeclared() {
    var total = 0;
    for (var i = 0; i < 3; i++) {
        var kept;
        if (i == 0)
            kept = "first";
        total += i;
    }
    return total + " " + kept + " " + i;
}
trace(keepsUndeclared());
function keys(o) {
    var names = [];
    for (var k in o)
        names.push(k + "=" + o[k]);
    names.sort();
    return names.join(" ") + " last " + (k != undefined);
}
trace(keys({p: 1, q: 2}));
function missing(a, b, c) {
    var d;
    return typeof b + " " + typeof c + " " + typeof d;
}
trace(missing(1, "two"));
function callsLocal(n) {
    var twice = function (v) { return v * 2; };
    return twice(n);
}
trace(callsLocal(21));
function leavesNoGlobals() {
    var hiddenLocal = 5;
    hiddenLocal++;
    return hiddenLocal;
}
trace(leavesNoGlobals() + " " + typeof hiddenLocal);
function assignedValue() {
    var a;
    var b = (a = 7) + 1;
    return a + " " + b;
}
trace(assignedValue());
