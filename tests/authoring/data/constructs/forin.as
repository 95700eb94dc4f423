// for-in over object properties, with break and inside a function
var o = {b: 2, a: 1, c: 3};
var names = [];
for (var name in o) {
    names.push(name);
}
names.sort();
trace(names.join(","));
var total = 0;
for (name in o) total += o[name];
trace(total);
var seen = 0;
for (var key in o) {
    seen++;
    break;
}
trace(seen);
function firstAbove(obj, limit) {
    for (var p in obj) {
        if (obj[p] > limit) return "found";
    }
    return "none";
}
trace(firstAbove(o, 2));
trace(firstAbove(o, 5));
var depth = 0;
for (var x in {p: 1}) { for (var y in {q: 1}) { depth = x + y; } }
trace(depth);
trace("stack " + "intact");
