// swf 8
// localToGlobal and globalToLocal work in whole twips: the point is cut to a twip toward zero,
// every matrix between the clip and the stage rounds its product to the nearest twip, and the
// result is always a multiple of 0.05. A point whose x or y is not a plain number of its own is
// left alone, and so is every point when the clip is scaled to nothing.
createEmptyMovieClip("outer", 1);
outer._x = 10;
outer._xscale = 33.3;
outer._yscale = 70;
outer.createEmptyMovieClip("inner", 1);
outer.inner._x = 7;
outer.inner._y = 3;
outer.inner._rotation = 30;
function show(label, p) {
    trace(label + ": " + p.x + " " + p.y);
}
var p = {x: 1.234, y: -1.234};
outer.localToGlobal(p);
show("cut toward zero", p);
p = {x: 7, y: 11};
outer.inner.localToGlobal(p);
show("nested to stage", p);
outer.inner.globalToLocal(p);
show("and back", p);
p = {x: 100, y: 50};
outer.globalToLocal(p);
show("stage to scaled", p);
p = {x: 5, y: "5"};
outer.localToGlobal(p);
show("text y", p);
p = {x: 5};
outer.localToGlobal(p);
show("missing y", p);
Object.prototype.y = 5;
p = {x: 5};
outer.globalToLocal(p);
show("inherited y", p);
delete Object.prototype.y;
outer._xscale = 0;
p = {x: 5, y: 6};
outer.globalToLocal(p);
show("no inverse", p);
outer.localToGlobal(p);
show("flattened", p);
