// swf 8
// Rectangle: no arguments make 0, 0, 0, 0 and missing ones stay undefined; the edges and
// corners are accessors over x, y, width and height; its tests compare as scripts do, so a
// NaN answers undefined; intersection of rectangles that do not meet is empty.
var Rectangle = flash.geom.Rectangle;
var Point = flash.geom.Point;
var r = new Rectangle(1);
trace(r.x + " " + r.y + " " + r.width + " " + r.right + " " + new Rectangle().width);
r = new Rectangle(1, 3, 5, 7);
trace(r.left + " " + r.top + " " + r.right + " " + r.bottom + " " + r.topLeft + " " + r.bottomRight + " " + r.size);
r.left = 0;
r.bottom = 20;
trace(r);
r.topLeft = new Point(2, 4);
trace(r);
r.bottomRight = new Point(10, 10);
r.size = new Point(3, 3);
trace(r + " " + r.right);
trace(r.contains(2, 4) + " " + r.contains(5, 4) + " " + r.contains(2) + " " + r.containsPoint(new Point(3, NaN)) + " " + r.contains(3, Infinity));
trace(r.containsRectangle(new Rectangle(2, 4, 3, 3)) + " " + r.containsRectangle(new Rectangle(2, 4, 4, 3)) + " " + r.containsRectangle());
trace(r.intersection(new Rectangle(4, 6, 10, 10)) + " " + r.intersection(new Rectangle(40, 6, 1, 1)) + " " + r.intersection());
trace(r.intersects(new Rectangle(4, 6, 10, 10)) + " " + r.intersects() + " " + r.union(new Rectangle(0, 0, 1, 1)) + " " + r.union());
trace(r.equals(r.clone()) + " " + r.equals({x: r.x, y: r.y, width: r.width, height: r.height}));
r.inflate(1, 2);
trace(r);
r.offset(1);
trace(r);
r.setEmpty();
trace(r + " " + r.isEmpty());
// Point: the same rule for missing arguments; distance needs points.
trace(new Point(5) + " " + new Point() + " " + Point.distance(new Point(0, 0), new Point(3, 4)) + " " + Point.distance({x: 0, y: 0}, new Point(3, 4)));
