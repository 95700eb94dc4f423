// swf 8
// pixelDissolve overwrites the area's first pixel on every call, even when asked for no
// pixels, and then as many others as asked; a chain of calls fed the seed each one answers
// never takes a pixel twice until all are taken.
var BitmapData = flash.display.BitmapData;
var Rectangle = flash.geom.Rectangle;
var Point = flash.geom.Point;
function changed(b) {
    var n = 0;
    for (var y = 0; y < b.height; y++)
        for (var x = 0; x < b.width; x++)
            if (b.getPixel32(x, y) != 0)
                n++;
    return n;
}
function run(width, height, area, perCall, calls) {
    var b = new BitmapData(width, height, true, 0);
    var seed = 0;
    var counts = [];
    for (var i = 0; i < calls; i++) {
        seed = b.pixelDissolve(b, area, new Point(0, 0), seed, perCall, 0xFF00FF00);
        counts.push(changed(b));
    }
    trace(width + "x" + height + " by " + perCall + ": " + counts.join(" ") + (b.getPixel32(area.x, area.y) != 0 ? " first" : ""));
}
run(4, 4, new Rectangle(0, 0, 4, 4), 0, 3);
run(4, 4, new Rectangle(0, 0, 4, 4), 1, 4);
run(4, 4, new Rectangle(0, 0, 4, 4), 3, 6);
run(5, 3, new Rectangle(1, 1, 3, 2), 2, 4);
run(1, 1, new Rectangle(0, 0, 1, 1), 5, 2);
