// swf 7
// A clip a script makes empty has no tags, so no bytes of its own: getBytesLoaded and
// getBytesTotal give 0 for it, while the movie's root counts the movie's bytes.
createEmptyMovieClip("empty", 1);
trace(empty.getBytesLoaded() + " " + empty.getBytesTotal());
empty.createEmptyMovieClip("inner", 1);
trace(empty.inner.getBytesTotal());
trace(_root.getBytesTotal() > 0);
trace(_root.getBytesLoaded() == _root.getBytesTotal());
