// swf 8
// A clip value refers to a clip by its target path: two clips under one name are one value to
// the strict comparison as to the loose one, until one of them is renamed.
createEmptyMovieClip("twin", 1);
createEmptyMovieClip("twin", 2);
createEmptyMovieClip("other", 3);
var low = getInstanceAtDepth(1);
var high = getInstanceAtDepth(2);
trace(low.getDepth() + " " + high.getDepth());
trace(low === high);
trace(low == high);
trace(low === getInstanceAtDepth(3));
high._name = "renamed";
trace(low === high);
trace(low == high);
trace(high === renamed);
