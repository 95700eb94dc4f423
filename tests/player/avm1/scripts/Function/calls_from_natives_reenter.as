// swf 8
// Script functions that the player calls (a sort's comparator, a setter, a getter, a
// conversion) call further functions, recursion included, and each call returns to its caller
// with its own arguments and registers intact.
function depth(n) {
    return n == 0 ? 0 : 1 + depth(n - 1);
}
function weigh(value) {
    return value % 10 + depth(value % 4);
}
var calls = 0;
var numbers = [13, 4, 27, 8, 31, 2];
numbers.sort(function(a, b) {
    calls++;
    var left = weigh(a);
    var right = weigh(b);
    return left == right ? a - b : left - right;
});
trace(numbers.join(","));
trace(calls > 0);
var holder = {};
var stored = [];
holder.addProperty("value",
    function() { return "got " + depth(3); },
    function(v) { stored.push(weigh(v) + ":" + depth(v)); });
holder.value = 5;
holder.value = 12;
trace(stored.join(","));
trace(holder.value);
var converted = {valueOf: function() { return depth(6) * 2; }, toString: function() { return "text " + depth(2); }};
trace(converted + 1);
trace("" + String(converted));
function outer(a, b) {
    var before = a + b;
    var sorted = [b, a].sort(function(x, y) { return depth(x) - depth(y); });
    return before + " " + sorted.join("-") + " " + (a + b);
}
trace(outer(3, 1));
