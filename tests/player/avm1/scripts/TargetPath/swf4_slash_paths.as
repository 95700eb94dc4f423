// swf 4 clip a clip a/child
// SWF 4 code knows slash paths only: a ':' or '.' is part of an element's name, a leading
// "_levelN" takes the digits after it and ignores the rest of its element, and _root, this and
// a level anywhere but first are no clips. Clips are no values: a name or path that leads to one
// reads undefined. A variable path splits at the last ':' and needs a path before it.
setProperty("a", _x, 2);
setProperty("a/child", _x, 3);
trace(getProperty("a/child", _x) + " " + getProperty("/a/child/", _x) + " " + getProperty("a/child/..", _x));
trace(getProperty("a:child", _x) + "|" + getProperty("a.child", _x) + "|" + getProperty("a/..:", _x));
trace(getProperty("_level0:a/child", _x) + "|" + getProperty("_level0.x", _x) + "|" + getProperty("_flash0/a", _x));
trace(getProperty("_root/a", _x) + "|" + getProperty("/_level0/a", _x) + "|" + getProperty("this", _x));
trace(getProperty("a//child", _x) + "|" + getProperty("a/child/../..", _x));
trace(typeof(a) + " " + typeof(eval("/a")) + " " + typeof(eval("_level0")));
set("/:v", 5);
trace(eval("/:v") + "|" + eval(":v") + "|" + eval("_level0:v") + "|" + eval("/.v") + "|" + eval("_level0.v"));
