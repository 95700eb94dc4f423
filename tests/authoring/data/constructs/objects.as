// object and array literals, member and index access, method calls, new, this
var point = {x: 3, y: 4, "label": "p"};
trace(point.x + point["y"]);
point.z = 5;
point["w"] = 6;
trace(point.z * point.w);
var list = [1, "two", [3, 4]];
trace(list.length);
trace(list[2][1]);
list.push(5);
trace(list.join("|"));
trace("abc".toUpperCase());
trace(Math.max(3, 9));
function Vector(x, y) { this.x = x; this.y = y; }
Vector.prototype.length2 = function () { return this.x * this.x + this.y * this.y; };
var v = new Vector(3, 4);
trace(v.length2());
trace(v instanceof Vector);
var space = {};
space.Thing = function (name) { this.name = name; };
var thing = new space.Thing("made");
trace(thing.name);
var empty = new Array(3);
trace(empty.length);
var nested = {inner: {deep: [10, 20]}};
trace(nested.inner.deep[1]);
delete point.z;
trace(point.z);
trace(typeof point);
trace(typeof trace);
var call = square;
function square(n) { return n * n; }
trace(call(3));
