// swf 8
// Names made by adding to one long text share its characters, each with its own length: they
// name different members, read and written again and again.
var base = "";
for (var i = 0; i < 40; i++)
    base += "n" + i;
var shorter = base;
base += "z";
var longer = base;
var o = {};
o[shorter] = "short";
o[longer] = "long";
var seen = [];
for (var j = 0; j < 3; j++) {
    seen.push(o[shorter] + "/" + o[longer]);
    o[longer] = "long" + j;
}
trace(seen.join(" "));
var names = 0;
for (var k in o)
    names++;
trace(names);
