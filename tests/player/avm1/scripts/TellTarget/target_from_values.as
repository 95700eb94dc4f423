// swf 7
// tellTarget takes a clip by its path, and anything else as text made into a path (objects
// through their toString). A path that names no clip leaves no target: names then resolve on
// the root, and timeline actions do nothing.
n = "root";
createEmptyMovieClip("first", 1);
first.n = "first";
var described = {toString: function () { trace("toString called"); return "first"; }};
tellTarget(described) { trace(n); }
tellTarget("nowhere") { trace(n); }
tellTarget(42) { trace(n); }
tellTarget(undefined) { trace(n); }
tellTarget(null) { trace(n); }
var a = createEmptyMovieClip("twin", 2);
a.n = "lower twin";
var b = createEmptyMovieClip("twin", 3);
b.n = "upper twin";
tellTarget(b) { trace(n); }
// The end of a tellTarget block goes back to the frame's clip, not to an enclosing target.
tellTarget("first") { trace(n); tellTarget("../missing") { trace(n); } trace(n); }
trace(n);
