// swf 8
// duplicateMovieClip() gives the depth scripts see; the action it compiles to carries it 16384
// higher, as the file format stores depths.
createEmptyMovieClip("original", 1);
duplicateMovieClip("original", "copy", 7);
trace(copy.getDepth());
trace(getInstanceAtDepth(7) == copy);
duplicateMovieClip("original", "low", -20);
trace(low.getDepth());
