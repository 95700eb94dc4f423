// swf 7
// From SWF 7 on names are case-sensitive, _root and _parent included; the clip properties
// (_x, _name …) still ignore case.
createEmptyMovieClip("child", 1);
child._x = 12;
trace(_ROOT);
trace(child._Parent);
trace(child._root == _root);
trace(child._PARENT == _root);
trace(child._X);
trace(child._NAME);
trace(_root.child._parent == _root);
