// swf 7
// A reference to a movie clip is its path. Once the clip has left the stage the reference has
// nothing (no properties, no names, an empty path) until a clip of the same name comes to the
// same place; then reads, writes and method calls through it reach that clip.
var first = createEmptyMovieClip("slot", 1);
first.mark = "first";
first.removeMovieClip();
trace(typeof first);
trace("[" + first + "]");
trace(first.mark);
trace(first._name);
trace(typeof first.gotoAndStop);
var names = 0;
for (var k in first) names++;
trace(names);
first.lost = 1;
var second = createEmptyMovieClip("slot", 5);
second.mark = "second";
trace(first);
trace(first.mark + " " + first.lost);
trace(first == second);
trace(first.getDepth());
first.shared = "written through the old reference";
trace(second.shared);
names = 0;
for (var k in first) names++;
trace(names);
// A clip inside a removed clip follows its parent's place as well.
var outer = createEmptyMovieClip("outer", 2);
var inner = outer.createEmptyMovieClip("inner", 1);
outer.removeMovieClip();
trace("[" + inner + "]");
createEmptyMovieClip("outer", 3).createEmptyMovieClip("inner", 4);
trace(inner + " " + inner.getDepth());
// The place is the one the clip was given when it came: a later name change does not move it.
var renamed = createEmptyMovieClip("before", 6);
renamed._name = "after";
trace(renamed);
renamed.removeMovieClip();
createEmptyMovieClip("after", 7);
createEmptyMovieClip("before", 8);
trace(renamed.getDepth());
// A function defined on a clip that has left the stage still calls the global functions past
// it, whether or not a clip has come to its place since.
var maker = createEmptyMovieClip("maker", 9);
tellTarget ("maker") {
    _root.report = function () {
        trace(parseInt("7") + " " + Math.floor(2.5));
    };
}
maker.removeMovieClip();
report();
createEmptyMovieClip("maker", 10);
report();
