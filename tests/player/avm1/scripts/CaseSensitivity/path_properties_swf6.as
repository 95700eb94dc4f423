// swf 6
// Up to SWF 6 names ignore case: _ROOT and _Parent are the root and the parent.
createEmptyMovieClip("child", 1);
child._x = 12;
trace(_ROOT);
trace(child._Parent);
trace(child._PARENT == _root);
trace(CHILD._X);
