// swf 7
// A function defined on a clip's timeline ends when a call it makes returns and that clip has
// left the stage. Calling a method of nothing is no call, so the function goes on past it until
// a real call returns.
createEmptyMovieClip("first", 1);
createEmptyMovieClip("second", 2);
tellTarget ("first") {
    _root.removeFirst = function () {
        trace("removing first");
        _root.first.removeMovieClip();
        trace("first: not reached");
    };
}
tellTarget ("second") {
    _root.removeSecond = function () {
        trace("removing second");
        removeMovieClip("/second");
        trace("second: still going");
        nothing.method();
        trace("second: past a call on nothing");
        var holder = {};
        holder.missing();
        trace("second: not reached");
    };
}
removeFirst();
trace("root goes on");
removeSecond();
trace(typeof first + " " + typeof second);
