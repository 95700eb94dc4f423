// swf 8
// Elements are properties named by their index, however many there are: arguments objects and
// arrays of a few hundred elements name them the same way, and the names read back as numbers.
function count() {
    return arguments.length + " " + arguments[0] + " " + arguments[255] + " " + arguments[256] + " " + arguments[299];
}
var values = [];
for (var i = 0; i < 300; i++)
    values.push(i * 2);
trace(count.apply(null, values));
trace(values.length + " " + values[255] + " " + values["256"] + " " + values[299]);
var small = ["a", "b", "c"];
var names = [];
for (var key in small)
    names.push(key + ":" + small[key]);
names.sort();
trace(names.join(","));
var built = new Array(255);
built.push("last");
built.push("after");
trace(built.length + " " + built[255] + " " + built[256] + " " + built[254]);
trace(values.hasOwnProperty("299") + " " + values.hasOwnProperty("300"));
