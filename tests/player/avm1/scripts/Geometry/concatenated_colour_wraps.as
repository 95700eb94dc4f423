// swf 8
// A clip's colour transform composed with its parents' stays in Flash's 16-bit 8.8 fixed
// point: each product drops its fraction downwards (even below zero) and a term that grows
// past 16 bits wraps around instead of stopping at a limit.
var ColorTransform = flash.geom.ColorTransform;
var outer = createEmptyMovieClip("outer", 1);
var inner = outer.createEmptyMovieClip("inner", 1);
function show(label) {
    var c = inner.transform.concatenatedColorTransform;
    trace(label + ": " + c.redMultiplier + " " + c.greenMultiplier + " " + c.blueMultiplier + " " + c.redOffset + " " + c.greenOffset + " " + c.blueOffset);
}
inner.transform.colorTransform = new ColorTransform(1, 1, 1, 1, -3, 3, -523, 0);
outer.transform.colorTransform = new ColorTransform(0.5, 0.5, 127.5, 1, 0, 0, 0, 0);
show("half and large");
inner.transform.colorTransform = new ColorTransform(0.75, 0.5, 2, 1, 0, 0, 0, 0);
outer.transform.colorTransform = new ColorTransform(0.5, 0.25, 127.5, 1, 10, 20, 30, 0);
show("multipliers");
