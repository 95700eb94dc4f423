// swf 8
// A variable is read from the first object along the scope chain that has it: locals, then
// with objects and their prototypes (getters run once, with the with object as this), then
// the timeline. Names made at run time find the same variables as written ones.
var shared = "timeline";
var reads = 0;
function Base() {}
Base.prototype.addProperty("counted", function() { reads++; return "got " + this.tag; }, null);
var holder = new Base();
holder.tag = "holder";
function locals() {
    var shared = "local";
    return shared;
}
trace(locals());
trace(shared);
with (holder) {
    trace(counted);
    trace(reads);
    trace(tag);
    trace(shared);
    trace(__proto__ == Base.prototype);
}
var bare = {};
bare.__proto__ = null;
with (bare) {
    trace(typeof __proto__);
}
var name = "sha" + "red";
trace(eval(name));
set("made" + 1, 42);
trace(made1);
function takesMany(a, b, c, d, e, f, g, h, i, j) {
    var k = 11;
    return a + j + k + eval("h");
}
trace(takesMany(1, 2, 3, 4, 5, 6, 7, 8, 9, 10));
var Shared = "capital";
trace(shared);
trace(Shared);
