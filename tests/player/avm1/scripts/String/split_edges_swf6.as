// swf 6
// From SWF 6 the empty string split at a separator is one empty piece whatever the limit,
// while a split at an empty separator, or of a longer string, keeps to the limit.
trace("".split("x", 0).length + " " + "".split("x", -1).length + " " + typeof "".split("x", 0)[0]);
trace("".split("", 0).length + " " + "f".split("", 0).length + " " + "f".split("x", 0).length);
var parts = "wallawalla".split("la");
trace(parts.length + " " + parts.join("|"));
