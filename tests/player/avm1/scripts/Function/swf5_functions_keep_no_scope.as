// swf 5
// A SWF 5 function keeps no scope from where it was made: it sees its own locals, then the clip
// it runs on (the clip it was called on, or else the caller's clip), then the globals.
var where = "root";
function outer() {
    var where = "outer";
    return function () { return where; };
}
var inner = outer();
trace(inner());
attachMovie("empty", "clip", 1);
clip.where = "clip";
clip.inner = inner;
trace(clip.inner());
var holder = new Object();
holder.where = "holder";
holder.inner = inner;
trace(holder.inner());
function setsWithoutVar() { made = "here"; }
clip.setsWithoutVar = setsWithoutVar;
clip.setsWithoutVar();
trace(clip.made);
trace(typeof made);
