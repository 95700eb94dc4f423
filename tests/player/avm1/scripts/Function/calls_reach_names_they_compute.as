// swf 8
// A function reaches "this", "arguments" and super by a name it computes as it does by the
// name itself, and a nested function reaches its own.
function count() {
    return eval("argu" + "ments").length;
}
trace(count(1, 2, 3));
function first() {
    var name = "arguments";
    return eval(name)[0];
}
trace(first("one"));
var holder = {label: "holder"};
holder.describe = function() { return eval("th" + "is").label; };
trace(holder.describe());
function outer() {
    var inner = function() { return eval("argu" + "ments").length; };
    return inner(7, 8, 9) + "/" + arguments.length;
}
trace(outer(1));
function replaces() {
    set("argu" + "ments", "replaced");
    return eval("arguments");
}
trace(replaces(1));
function Base() {
}
Base.prototype.name = function() { return "base"; };
function Derived() {
}
Derived.prototype = new Base();
Derived.prototype.name = function() { return eval("su" + "per").name() + "+derived"; };
trace(new Derived().name());
