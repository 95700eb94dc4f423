// swf 8
// A getter put on an array's "length" or on one of its elements is what scripts read there, but
// the array's methods go by the real length and by the value stored under the getter.
function ten() { return 10; }
var a = [1, 2, 3];
trace(a.addProperty("length", ten, null));
trace(a.length);
trace(a.push("x"));
trace(a.length);
var c = [7, 8, 9];
trace(c.addProperty(2, ten, null));
trace(c[2]);
trace(c.pop());
trace(c.length);
trace(c[2]);
