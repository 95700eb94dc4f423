// swf 8
// An auto-sized field grows or shrinks from its left edge; sized from the right edge or the
// centre, it moves instead, and its _x follows.
var modes = ["none", "left", "right", "center"];
for (var i = 0; i < modes.length; i++) {
    createTextField("t" + i, i + 1, 50, 40, 100, 30);
    var field = this["t" + i];
    field.autoSize = modes[i];
    field.text = "";
    trace(modes[i] + " " + field._x + " " + field._width + " " + (field._x + field._width));
}
