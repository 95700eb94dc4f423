// swf 8
// super() can reach a built-in class from an object new made plain, whose prototype a method
// changed afterwards. Array's constructor fills such an object in as Array's methods see any
// object (a lone number is its length) and gives it back; ColorTransform's sets the eight terms
// on it and gives it back too.
function Host() {}
Host.prototype.become = function(cls) {
    this.__proto__ = {__proto__: cls.prototype, __constructor__: cls};
};
Host.prototype.withTwo = function(cls, a, b) { this.become(cls); return super(a, b); };
Host.prototype.withOne = function(cls, a) { this.become(cls); return super(a); };
Host.prototype.withNone = function(cls) { this.become(cls); return super(); };
var list = new Host();
var given = list.withTwo(Array, "a", "b");
trace((given == list) + " " + given);
trace(list.length + " " + (list instanceof Array) + " " + list.shift() + " " + list.length + " " + list.join("-"));
list.push("c");
trace(list.length + " " + list[1]);
var sized = new Host();
sized.withOne(Array, 3);
trace(sized.length + " " + sized.hasOwnProperty("0"));
var tint = new Host();
given = tint.withNone(flash.geom.ColorTransform);
trace((given == tint) + " " + tint.redMultiplier + " " + tint.alphaOffset);
trace(tint);
trace(new flash.geom.ColorTransform(2).redMultiplier + " " + flash.geom.ColorTransform());
