// swf 6
// Before SWF 7 a clip keeps its _lockroot but _root stays the level's root.
var outer = this.createEmptyMovieClip("outer", 1);
var inner = outer.createEmptyMovieClip("inner", 1);
inner._lockroot = true;
trace(inner._lockroot);
trace(inner._root == _level0);
