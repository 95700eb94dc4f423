// swf 8
// The pixel methods answer with numbers: -1 when arguments are missing or the bitmap is
// disposed (and then they change nothing), 0 when they did their work. A rectangle needs all of
// x, y, width and height, its own or inherited. floodFill answers 1 only when it changed pixels.
var BitmapData = flash.display.BitmapData;
var Rectangle = flash.geom.Rectangle;
var b = new BitmapData(3, 3, true, 0xFF112233);
// Number.toString(16) works on signed 32-bit values, so the halves are shown apart.
function hex(color) { return ((color >>> 16) & 0xFFFF).toString(16) + "_" + (color & 0xFFFF).toString(16); }
function row() { return hex(b.getPixel32(0, 0)) + " " + hex(b.getPixel32(2, 2)); }
trace(b.fillRect(new Rectangle(0, 0, 1, 1)) + " " + row());
trace(b.fillRect({x: 0, y: 0, width: 1}, 0xFF0000FF) + " " + row());
trace(b.fillRect(null, 0xFF0000FF) + " " + row());
function Area() {}
Area.prototype.x = 0; Area.prototype.y = 0; Area.prototype.width = 1; Area.prototype.height = 1;
trace(b.fillRect(new Area(), 0xFF0000FF) + " " + row());
trace(b.setPixel32(2, 2) + " " + b.setPixel32(2, 2, 0xFF00FF00) + " " + row());
trace(b.setPixel(0, 0) + " " + b.setPixel(0, 0, 0x777777) + " " + row());
trace(b.floodFill(1, 1) + " " + b.floodFill(1, 1, 0xFF112233) + " " + b.floodFill(5, 5, 0xFF000000));
trace(b.floodFill(1, 1, 0xFFFFFFFF) + " " + hex(b.getPixel32(1, 0)));
var c = new BitmapData(3, 3, true, 0);
trace(c.copyPixels(b, new Rectangle(0, 0, 3, 3)) + " " + c.copyPixels({}, b.rectangle, {x: 0, y: 0})
      + " " + c.copyPixels(b, {x: 0}, {x: 0, y: 0}) + " " + c.copyPixels(b, b.rectangle, {x: 1, y: 1}));
trace(c.getPixel32(0, 0) + " " + hex(c.getPixel32(2, 2)));
var gone = new BitmapData(2, 2);
gone.dispose();
trace(c.copyPixels(gone, b.rectangle, {x: 0, y: 0}) + " " + gone.dispose() + " " + gone.clone());
trace(gone.fillRect(b.rectangle, 0) + " " + gone.setPixel32(0, 0, 0) + " " + gone.getPixel(0, 0) + " " + gone.draw(b));
