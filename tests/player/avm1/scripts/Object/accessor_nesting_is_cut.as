// swf 7
// The getter and setter of one property nest at most 65 deep; a deeper call is skipped without
// an error (a getter then gives undefined) and the script goes on. Each property counts apart.
var holder = {};
var depth = 0;
var deepest = 0;
holder.addProperty("value", function () {
    depth++;
    if (depth > deepest)
        deepest = depth;
    var inner = this.value;
    depth--;
    return "read " + typeof inner;
}, function (v) {
    depth++;
    if (depth > deepest)
        deepest = depth;
    this.value = v;
    depth--;
});
holder.value = 1;
trace(deepest);
deepest = 0;
trace(holder.value);
trace(deepest);
var calls = 0;
var pair = {};
pair.addProperty("a", function () {}, function (v) { calls++; this.b = v; });
pair.addProperty("b", function () {}, function (v) { calls++; this.a = v; });
pair.a = 1;
trace(calls);
trace("end");
