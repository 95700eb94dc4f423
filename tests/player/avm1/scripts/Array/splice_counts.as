// swf 7
// splice's count: a negative one refuses the whole call (nothing removed, nothing put in,
// undefined returned); a count past the end takes what is there; NaN takes nothing.
var list = [2, 3, 4, 5, 6];
var removed = list.splice(0, -1);
trace(typeof removed + " " + list);
removed = list.splice(-1, -2, "a", "b");
trace(typeof removed + " " + list);
removed = list.splice(3, 10);
trace(removed + " | " + list);
removed = list.splice(1, NaN, "x");
trace(removed.length + " | " + list);
removed = list.splice(1, -0.5);
trace(removed.length + " | " + list);
