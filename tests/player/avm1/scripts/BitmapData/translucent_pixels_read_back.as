// swf 8
// A translucent pixel is kept premultiplied and read back through Flash's fixed-point division
// by its alpha, which comes out a little low: a channel that an exact division would round up
// past a half can stay below. The same holds for what merge and noise leave.
var BitmapData = flash.display.BitmapData;
var Rectangle = flash.geom.Rectangle;
var Point = flash.geom.Point;
function hex(n) {
    var text = "";
    for (var shift = 28; shift >= 0; shift -= 4)
        text += "0123456789abcdef".charAt((n >>> shift) & 15);
    return text;
}
var bmd = new BitmapData(4, 1, true, 0);
var colours = [0xF7D6D6D6, 0x1C444444, 0x98755432, 0x12345678];
for (var i = 0; i < colours.length; ++i) {
    bmd.setPixel32(i, 0, colours[i]);
    trace(hex(colours[i]) + " -> " + hex(bmd.getPixel32(i, 0)));
}
var under = new BitmapData(1, 1, true, 0xAABBCCDD);
trace("fill: " + hex(under.getPixel32(0, 0)));
under.merge(new BitmapData(1, 1, true, 0x12345678), new Rectangle(0, 0, 1, 1), new Point(0, 0), 32, 64, 128, 2);
trace("merge: " + hex(under.getPixel32(0, 0)));
var noisy = new BitmapData(3, 3, true, 0);
noisy.noise(128, 0, 255, 15, true);
trace("noise: " + hex(noisy.getPixel32(0, 0)) + " " + hex(noisy.getPixel32(1, 0)) + " " + hex(noisy.getPixel32(1, 1)));
