// swf 8 shape box
// A shape placed with a name has no script object of its own: its name stands for the clip
// that holds it, in member access and in paths alike. A missing name is still undefined.
trace(box);
trace(_root.box == _root);
_root.marker = "root variable";
trace(box.marker);
trace(eval("box:marker"));
trace(eval("/box"));
trace(typeof missing);
