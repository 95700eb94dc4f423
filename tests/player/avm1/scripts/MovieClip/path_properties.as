// swf 7
// Every clip answers _global (from SWF 6 on) and the levels _levelN and _flashN, N being the
// digits that follow the name; a level that is not loaded is undefined.
createEmptyMovieClip("child", 1);
trace(child._global === _global);
trace(child._level0 == _root);
trace(child._flash0 == _root);
trace(child._level == _root);
trace(child._level0extra == _root);
trace(child._level7);
trace(child._LEVEL0);
