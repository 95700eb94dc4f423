// swf 6
// Before SWF 7 a member name matches a slot in any case, read after read and write after write.
var o = {};
o.Name = 1;
var seen = [];
for (var i = 0; i < 3; i++) {
    seen.push(o.name);
    o.NAME = i + 10;
    seen.push(o.Name);
}
trace(seen.join(" "));
var names = [];
for (var n in o)
    names.push(n);
trace(names.join(","));
