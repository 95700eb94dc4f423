// swf 8
// One member read and written again and again, as a loop does, follows every change made to
// the object between two reads: the slot deleted, found on a new prototype, a getter put in its
// place, made read-only, hidden from this version, and a watcher set on the other member.
var proto = {x: "proto"};
var point = {x: 1, y: 2};
var seen = [];
for (var i = 0; i < 8; i++) {
    if (i == 1)
        delete point.x;
    if (i == 2)
        point.__proto__ = proto;
    if (i == 3)
        point.x = 5;
    if (i == 4)
        point.addProperty("x", function() { return "getter"; }, null);
    if (i == 5) {
        delete point.x;
        point.x = 7;
        ASSetPropFlags(point, "x", 4);
        point.x = 8;
    }
    if (i == 6)
        point.watch("y", function(name, before, now) { return now * 100; });
    if (i == 7)
        ASSetPropFlags(point, "x", 8192);
    point.y = i;
    seen.push(point.x + "/" + point.y);
}
trace(seen.join(" "));
// A slot added to the prototype after reads that found nothing, and one taken from it again.
var plain = {};
var found = [];
for (var j = 0; j < 3; j++) {
    found.push(plain.z);
    if (j == 0)
        Object.prototype.z = "added";
    if (j == 1)
        delete Object.prototype.z;
}
trace(found.join(" "));
// Many members: the table of names is looked up by hash, read after read.
var wide = {};
for (var k = 0; k < 20; k++)
    wide["m" + k] = k;
var sum = 0;
for (var r = 0; r < 3; r++) {
    sum += wide.m3 + wide.m17;
    delete wide.m3;
    wide.m3 = 100;
}
trace(sum + " " + wide.m3 + " " + wide.m17);
