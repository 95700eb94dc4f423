// swf 7
// A clip created by a script without a registered class calls onConstruct (found on
// MovieClip.prototype) before the creating call returns; a clip with a registered class runs
// its constructor instead.
MovieClip.prototype.onConstruct = function () {
    trace("onConstruct " + this._name + " at " + this.getDepth());
};
var made = createEmptyMovieClip("first", 3);
trace("made " + made._name);
made.createEmptyMovieClip("inner", 7);
attachMovie("empty", "attached", 4);
function Registered() { trace("Registered " + this._name); }
Registered.prototype = new MovieClip();
Object.registerClass("empty", Registered);
attachMovie("empty", "classy", 5);
delete MovieClip.prototype.onConstruct;
createEmptyMovieClip("plain", 6);
trace("plain made quietly");
