// swf 6
// isNaN and isFinite read a missing argument as NaN, while an undefined one still counts as 0
// before SWF 7.
trace(isNaN());
trace(isFinite());
trace(isNaN(undefined));
trace(isFinite(undefined));
trace(isNaN("x"));
trace(isFinite(5));
