// swf 6
// Before SWF 7 an undefined value reads as an empty string where text is wanted, and as 0
// where a number is wanted.
var nothing;
trace("[" + nothing + "]");
trace(nothing + 1);
trace(typeof nothing);
