// swf 8
// A right-sized field that grows keeps its right edge: its box reaches left of where the field
// stands, and _x reports the box's left edge. Setting _x moves the box there and keeps that
// offset: the right edge is still where the grown box ends, later growth or shrinking keeps it,
// and a duplicate stands where the field itself stands (the new _x less the offset).
createTextField("f", 1, 100, 0, 20, 20);
f.autoSize = "right";
f.text = "some longer text than the box";
var grown = f._width;
trace("grown: " + (grown > 20) + " right edge " + Math.round(f._x + f._width));
f._x = 50;
trace("set: " + f._x + " right edge kept " + (Math.round((f._x + f._width - 50 - grown) * 100) == 0));
f.text = "a";
trace("shrunk: right edge " + (Math.round((f._x + f._width - 50 - grown) * 100) == 0) + " " + (f._width < grown));
duplicateMovieClip(f, "copy", 2);
trace("copy at the field's own place: " + (Math.round((copy._x - (50 + grown - 20)) * 100) == 0));
