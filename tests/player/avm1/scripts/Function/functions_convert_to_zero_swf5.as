// swf 5
// A SWF 5 function has no valueOf, so turning it into a number gets undefined, which SWF 5
// counts as 0. An object that has a valueOf giving itself back stays NaN.
function f() {}
trace(Number(f));
trace(isNaN(f));
trace(123 + f);
trace(f - 1);
trace(f * 2);
trace(f < 1);
trace(Math.abs(f));
var o = new Object();
trace(isNaN(o));
trace(o - 1);
