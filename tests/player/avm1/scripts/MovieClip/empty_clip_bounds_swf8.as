// swf 8
// Once SWF 8 code asks for bounds, an empty clip seen from another clip reads 6710886.4 on
// every side; in its own space it still reads 6710886.35.
createEmptyMovieClip("empty", 1);
var own = empty.getBounds(empty);
trace("own: " + own.xMin + " " + own.xMax + " " + own.yMin + " " + own.yMax);
var seen = empty.getBounds(_root);
trace("from root: " + seen.xMin + " " + seen.xMax + " " + seen.yMin + " " + seen.yMax);
