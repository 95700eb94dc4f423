// swf 8
// Every call has registers and arguments of its own: a call nested in another, a recursive
// call, or one made after another returned never sees values left by the others, and what a
// call keeps of its arguments stays as it was when later calls are made.
function pair(a, b) {
    var unset;
    var before = "" + unset;
    unset = a;
    return before + ":" + a + "," + b;
}
trace(pair(1, 2));
trace(pair(3));
trace(pair(pair(4, 5), pair(6)));
function depth(n) {
    var mine = n * 10;
    if (n > 0)
        depth(n - 1);
    return mine;
}
trace(depth(3));
function keep() { return arguments; }
var first = keep("a", "b", "c");
var second = keep("d");
trace(first.length + " " + first.join("") + " " + second.length + " " + second.join(""));
function sum() {
    var total = 0;
    for (var i = 0; i < arguments.length; i++)
        total += arguments[i];
    return total;
}
trace(sum(1, 2, 3) + sum(sum(4), sum(5, 6)));
var o = {f: function(x, y) { return typeof y + x; }};
trace(o.f(1, 2) + " " + o.f(3));
