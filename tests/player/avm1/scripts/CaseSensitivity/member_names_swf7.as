// swf 7
// From SWF 7 names differing in case are different members, read after read and write after
// write.
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
names.sort();
trace(names.join(","));
