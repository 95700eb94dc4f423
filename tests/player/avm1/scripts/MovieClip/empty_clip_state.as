// swf 7 frames 2
// A clip a script makes empty is at frame 0 until the next frame of the movie. It has no
// bounds: getBounds gives 6710886.35 on every side for it, in its own space and,
// while no SWF 8 code has asked under this SWF 7 movie, seen from another clip too. A clip
// with something in it gives its box in the space of the clip named, by object or by a path
// from the clip itself.
createEmptyMovieClip("empty", 1);
trace("frame " + empty._currentframe + " of " + empty._totalframes);
var own = empty.getBounds();
trace("own: " + own.xMin + " " + own.xMax + " " + own.yMin + " " + own.yMax);
var seen = empty.getBounds(_root);
trace("from root: " + seen.xMin + " " + seen.yMax);
createEmptyMovieClip("box", 2);
box.beginFill(0);
box.moveTo(0, 0);
box.lineTo(10, 0);
box.lineTo(10, 20);
box.lineTo(0, 20);
box.endFill();
box._x = 5;
createEmptyMovieClip("other", 3);
other._x = 100;
other._xscale = 200;
var inOther = box.getBounds(other);
trace("in other: " + inOther.xMin + " " + inOther.xMax + " " + inOther.yMin + " " + inOther.yMax);
var byPath = box.getBounds("_root.other");
trace("by path: " + byPath.xMin + " " + byPath.xMax);
var inRoot = box.getBounds(_root);
trace("in root: " + inRoot.xMin + " " + inRoot.xMax);
trace("no such clip: " + typeof box.getBounds("other"));
// getRect came with SWF 8: this movie's code does not see it.
trace("getRect: " + typeof box.getRect);
empty.onEnterFrame = function () {
    trace("next frame: " + this._currentframe);
    delete this.onEnterFrame;
};
