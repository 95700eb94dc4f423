// swf 5
// SWF 5 splits only at a one-character separator: at a longer one, or an empty one, the
// whole string is the one piece (and at an empty one even a limit of 0 keeps it). An empty
// string split at a character gives nothing under a limit of 0 or less.
var text = "wallawalla";
var parts = text.split("la");
trace(parts.length + " " + parts[0]);
trace(text.split("la", 0).length + " " + text.split("", 0).length + " " + "".split("", 0).length);
trace("".split("x", 0).length + " " + "".split("x", -1).length + " " + "".split("x", 1).length);
trace(text.split("l").length + " " + "f".split("x", 0).length);
