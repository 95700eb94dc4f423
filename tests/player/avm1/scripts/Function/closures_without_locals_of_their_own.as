// swf 8
// A function that keeps its parameters in registers still reads the locals of the function it
// was made in, the timeline it was made on and the globals, and it writes a name it does not hold
// to the holder along the chain, or else to its timeline.
_global.shared = "g";
var onTimeline = "t";
function maker(base) {
    var kept = base;
    return function(a) {
        kept = kept + a;
        fresh = a;
        return kept + "/" + onTimeline + "/" + shared;
    };
}
var first = maker("x");
var second = maker("y");
trace(first(1));
trace(first(2));
trace(second(3));
trace(fresh);
function countDown(n) {
    if (n <= 0)
        return "done";
    return countDown(n - 1);
}
trace(countDown(50));
