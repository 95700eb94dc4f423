// swf 8
// A function defined on a clip's timeline and called after the clip has left the stage runs,
// with its arguments, on the clip it is called on. A function of a clip that calls another one
// which removes the clip ends when that call returns.
var label = "root";
this.createEmptyMovieClip("holder", 1);
tellTarget ("holder") {
    function describe(a, b) {
        return a + b + " " + _target;
    }
}
var kept = holder.describe;
trace(kept(1, 2));
holder.removeMovieClip();
trace(kept(3, 4));
this.createEmptyMovieClip("other", 2);
tellTarget ("other") {
    function removeIt(text) {
        trace("removing " + text);
        _root.other.removeMovieClip();
        return text;
    }
    function run(text) {
        trace("before " + text);
        removeIt(text);
        trace("after " + text);
    }
}
other.run("x");
trace("done");
