// swf 8
// Names of one length that share their first letters, made at run time so that no two share
// their text, each find their own property, also in objects past the size where a table is built.
var small = {};
var large = {};
var letters = ["a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l"];
for (var i = 0; i < letters.length; i++) {
    var name = "p" + letters[i] + "q";
    small["x" + letters[i]] = i;
    large[name] = i * 10;
}
trace(small["x" + "a"] + " " + small["x" + "b"] + " " + small["x" + "l"] + " " + small["xz"]);
trace(large["pa" + "q"] + " " + large["pl" + "q"] + " " + large["pa" + "r"] + " " + large["qaq"]);
small["x" + "c"] = "changed";
trace(small.xb + " " + small.xc + " " + small.xd);
