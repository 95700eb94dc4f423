// swf 8
// The methods that move or test pixels: what they answer and what they leave in the bitmap.
var BitmapData = flash.display.BitmapData;
var Rectangle = flash.geom.Rectangle;
var Point = flash.geom.Point;
function hex(color) { return ((color >>> 16) & 0xFFFF).toString(16) + "_" + (color & 0xFFFF).toString(16); }
function rowOf(bitmap, y) {
    var text = "";
    for (var x = 0; x < bitmap.width; ++x)
        text += (x ? " " : "") + hex(bitmap.getPixel32(x, y));
    return text;
}
// scroll moves the content; uncovered pixels keep what they had; a shift as wide as the bitmap
// does nothing.
var s = new BitmapData(3, 1, false, 0xFF000000);
s.setPixel(0, 0, 0x0000AA); s.setPixel(1, 0, 0x0000BB); s.setPixel(2, 0, 0x0000CC);
trace(s.scroll(1) + " " + s.scroll(1, 0) + " " + rowOf(s, 0));
trace(s.scroll(-3, 0) + " " + rowOf(s, 0));
// compare: its own numbers, then 0 for equal bitmaps or a bitmap of differences.
var a = new BitmapData(2, 1, true, 0xFF102030);
var b = new BitmapData(2, 1, true, 0xFF102030);
trace(a.compare() + " " + a.compare({}) + " " + a.compare(new BitmapData(3, 1)) + " " + a.compare(new BitmapData(2, 2)) + " " + a.compare(b));
b.setPixel32(0, 0, 0xFF0F1F40);
b.setPixel32(1, 0, 0x80102030);
var d = a.compare(b);
trace(d.transparent + " " + rowOf(d, 0));
// merge mixes by 256ths; it answers -1 even when done. A missing alpha multiplier is 256.
var m = new BitmapData(1, 1, false, 0xFF000000);
trace(m.merge(new BitmapData(1, 1, false, 0xFFFFFFFF), m.rectangle, new Point(0, 0), 128, 256, 0) + " " + rowOf(m, 0));
trace(m.merge(a, {x: 0, y: 0}, new Point(0, 0), 1, 1, 1) + " " + m.merge("a", m.rectangle, new Point(0, 0), 1, 1, 1));
// threshold counts the pixels that pass and paints them; copySource copies the others.
var t = new BitmapData(3, 1, false, 0xFF000000);
var src = new BitmapData(3, 1, false, 0xFF000000);
src.setPixel(0, 0, 0x100000); src.setPixel(1, 0, 0x800000); src.setPixel(2, 0, 0xF00000);
trace(t.threshold(src, src.rectangle, new Point(0, 0), ">", 0x00800000, 0xFF00FF00, 0x00FF0000) + " " + rowOf(t, 0));
trace(t.threshold(src, src.rectangle, new Point(0, 0), "==", 0x00800000, 0xFF0000FF, 0x00FF0000, true) + " " + rowOf(t, 0));
trace(t.threshold(src, src.rectangle, new Point(0, 0), "<") + " " + t.threshold(src, {}, new Point(0, 0), "<", 0));
// copyChannel moves one channel into another.
var c = new BitmapData(1, 1, false, 0xFF000000);
trace(c.copyChannel(src, new Rectangle(2, 0, 1, 1), new Point(0, 0), 1, 4) + " " + rowOf(c, 0));
// paletteMap adds up one entry per channel; an array gives only its entries' low byte, a
// missing array keeps its channel.
var p = new BitmapData(1, 1, false, 0xFF102030);
var reds = [];
reds[0x10] = 0x123456;
trace(p.paletteMap(p, p.rectangle, new Point(0, 0)) + " " + p.paletteMap(p, p.rectangle, new Point(0, 0), reds) + " " + rowOf(p, 0));
// hitTest against a point, a rectangle and a bitmap, by alpha thresholds.
var h = new BitmapData(2, 2, true, 0);
h.setPixel32(1, 1, 0x80FFFFFF);
trace(h.hitTest(new Point(0, 0), 0x80, new Point(1, 1)) + " " + h.hitTest(new Point(0, 0), 0x81, new Point(1, 1))
      + " " + h.hitTest(new Point(10, 10), 1, new Point(11, 11)) + " " + h.hitTest(new Point(0, 0), 1, new Rectangle(0, 0, 1, 1))
      + " " + h.hitTest(new Point(0, 0), 1, new Rectangle(0, 0, 5, 5)));
var full = new BitmapData(1, 1, false, 0xFF000000);
trace(h.hitTest(new Point(0, 0), 1, full, new Point(1, 1), 1) + " " + h.hitTest(new Point(0, 0), 1, full, new Point(0, 0), 1)
      + " " + h.hitTest(new Point(0, 0), 1, full));
trace(h.hitTest({x: 0}, 1, full) + " " + h.hitTest(new Point(0, 0), 1, {x: 1}) + " " + h.hitTest(new Point(0, 0), 1, full, {})
      + " " + h.hitTest(new Point(0, 0), 1));
// getColorBoundsRect finds the pixels of a colour, or those of another.
var g = new BitmapData(4, 4, false, 0xFF000000);
g.setPixel(1, 2, 0xFFFFFF); g.setPixel(2, 3, 0xFFFFFF);
trace(g.getColorBoundsRect(0xFFFFFFFF, 0xFFFFFFFF) + " " + g.getColorBoundsRect(0xFFFFFFFF, 0xFF000000, false)
      + " " + g.getColorBoundsRect(0xFFFFFFFF, 0xFF123456));
// colorTransform takes only a ColorTransform, and answers -1 when done.
var ct = new BitmapData(1, 1, false, 0xFF808080);
trace(ct.colorTransform(ct.rectangle, {redMultiplier: 0}) + " " + ct.colorTransform({}, new flash.geom.ColorTransform())
      + " " + ct.colorTransform(ct.rectangle, new flash.geom.ColorTransform(0, 1, 1, 1, 0, 0, 0, 0)) + " " + rowOf(ct, 0));
// The channel numbers are enumerable on the class, and so are the sizes of a bitmap.
trace(BitmapData.RED_CHANNEL + " " + BitmapData.GREEN_CHANNEL + " " + BitmapData.BLUE_CHANNEL + " " + BitmapData.ALPHA_CHANNEL);
var names = [];
for (var name in new BitmapData(1, 1))
    names.push(name);
names.sort();
trace(names);
