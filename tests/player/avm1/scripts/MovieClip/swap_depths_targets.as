// swf 8
// swapDepths takes a number as a depth (NaN counting as 0); anything else names the clip to
// swap with, by reference or by a path from the clip. A target that is no clip of the same
// parent, and undefined, leave the depths as they were.
createEmptyMovieClip("a", 1);
createEmptyMovieClip("b", 2);
b.createEmptyMovieClip("inner", 5);
a.swapDepths(undefined);
trace(a.getDepth());
a.swapDepths(NaN);
trace(a.getDepth());
a.swapDepths(false);
trace(a.getDepth());
a.swapDepths("nothing");
trace(a.getDepth());
a.swapDepths(b);
trace(a.getDepth() + " " + b.getDepth());
b.swapDepths("../a");
trace(a.getDepth() + " " + b.getDepth());
a.swapDepths(b.inner);
trace(a.getDepth() + " " + b.inner.getDepth());
