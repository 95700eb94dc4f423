// swf 5
// Clip methods newer than the movie's SWF version are hidden from its code: the drawing
// methods, createEmptyMovieClip, setMask and getTextSnapshot came with SWF 6, the depth queries
// with SWF 7, getRect, attachBitmap and the bitmap and gradient line styles with SWF 8. The old
// ones (createTextField, getBounds, getSWFVersion among them) are there for every version.
var groups = [
    ["attachMovie", "createTextField", "duplicateMovieClip", "getBounds", "getBytesLoaded", "getSWFVersion", "getURL", "swapDepths"],
    ["beginFill", "beginGradientFill", "clear", "createEmptyMovieClip", "curveTo", "endFill", "getDepth", "getTextSnapshot",
     "lineStyle", "lineTo", "moveTo", "setMask"],
    ["getInstanceAtDepth", "getNextHighestDepth"],
    ["attachBitmap", "beginBitmapFill", "getRect", "lineGradientStyle"]];
for (var g = 0; g < groups.length; g++) {
    var line = "";
    for (var i = 0; i < groups[g].length; i++)
        line += (typeof MovieClip.prototype[groups[g][i]]).charAt(0);
    trace(line);
}
// A hidden method does nothing when called, and a clip does not find it either.
this.createEmptyMovieClip("made", 3);
trace(typeof made);
trace(typeof this.getNextHighestDepth);
// It is still there, listed among the prototype's own names once its flags are cleared.
ASSetPropFlags(MovieClip.prototype, "getRect", 0, 4096);
trace(typeof MovieClip.prototype.getRect);
