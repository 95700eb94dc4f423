// swf 5
// SWF 5 reads a 0 past the end of a string, splits at commas without a separator and not at
// all at an empty one.
var s = "foo+foo";
trace(s.charCodeAt(9));
trace(s.charCodeAt(-1));
var c = "A,,b,c,";
trace(c.split().length);
trace(c.split(undefined, 2));
trace(c.split("").length);
trace(c.split(",").length);
trace("aaa".indexOf(undefined));
