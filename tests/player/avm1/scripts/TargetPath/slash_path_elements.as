// swf 8
// Slash paths: a trailing slash is allowed, two separators in a row name an empty element that
// leads nowhere, leading colons are skipped, and after a slash a dot belongs to the name.
createEmptyMovieClip("outer", 1);
outer.createEmptyMovieClip("inner", 1);
outer.inner.value = "found";
createEmptyMovieClip("dotted.name", 2);
trace(eval("/outer/inner:value"));
trace(eval("/outer/inner/:value"));
trace(eval("/outer/inner//:value"));
trace(eval("/outer//inner:value"));
trace(eval("outer/inner/../inner:value"));
trace(eval(":::outer:inner:value"));
trace(getProperty("//outer", _name));
trace(getProperty("/outer/inner/", _name));
trace(getProperty("outer/..", _target));
trace(getProperty("/..", _target));
trace(getProperty("/dotted.name", _name));
trace(getProperty("_root.dotted.name", _name));
