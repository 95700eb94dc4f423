// swf 7
// Math's functions read their first two arguments as numbers, left to right, and no more; the
// two-argument ones take a missing second argument as NaN.
function n(v) { var o = new Object(); o.valueOf = function() { trace("read " + v); return v; }; return o; }
trace(Math.abs(n(-2), n(1), n(0)));
trace(Math.atan2(n(0), n(1)));
trace(Math.pow(n(3), n(2), n(1)));
trace(Math.max(n(3), n(5), n(9)));
trace(Math.min(n(3), n(5), n(-9)));
trace(Math.random(n(1), n(2)) < 1);
trace(Math.max());
trace(Math.min());
trace(Math.max(5));
trace(Math.min(-Infinity));
trace(Math.max(2, NaN));
trace(Math.pow(1));
trace(Math.pow(2));
trace(ASnative(200, 50)(n(4), n(5), n(6)));
trace(ASnative(200, 1)(n(4), n(2)));
