// swf 8
// A function called by name is looked up afresh at every call: one replaced between two calls
// runs its new body; a name that a with block's object holds through a getter runs the getter
// at each call; a name that no longer holds a function gives undefined; and a function that
// names this, arguments or super sees them while the others leave them alone.
function add(a, b) {
    return a + b;
}
var results = [];
for (var i = 0; i < 3; i++) {
    results.push(add(i, 10));
    if (i == 0)
        add = function(a, b) { return a * b; };
}
trace(results.join(","));
var holder = {};
var reads = 0;
holder.addProperty("twice", function() { reads++; return function(n) { return n * 2; }; }, null);
with (holder) {
    trace(twice(4) + " " + twice(5));
}
trace(reads);
add = 5;
trace(add(1, 2));
function count() {
    return arguments.length + ":" + arguments.join("-");
}
trace(count() + " " + count(1) + " " + count(1, "b", 3));
function mine() {
    return this == _root;
}
trace(mine());
function Base() {
}
Base.prototype.name = function() {
    return "base";
};
function Derived() {
    super();
}
Derived.prototype = new Base();
Derived.prototype.name = function() {
    return "derived of " + super.name();
};
trace(new Derived().name());
function plain(a, b) {
    return typeof a + " " + typeof b;
}
trace(plain(1) + ", " + plain(1, "x", 3));
