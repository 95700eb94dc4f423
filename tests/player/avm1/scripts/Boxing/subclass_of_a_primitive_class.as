// swf 8
// An object made by a subclass of String, Number or Boolean takes its value when the class's
// constructor runs on it through super(), which returns the object itself; the built-in methods
// then work on that value.
function Text(value) { trace(typeof super(value)); }
Text.prototype.__proto__ = String.prototype;
Text.prototype.__constructor__ = String;
var t = new Text("hello");
trace(t.length + " " + t.toUpperCase() + " " + t + " " + (t instanceof String));
function Flag(value) { super(value); }
Flag.prototype.__proto__ = Boolean.prototype;
Flag.prototype.__constructor__ = Boolean;
trace(new Flag(1) + " " + new Flag(0).valueOf());
function Amount(value) { super(value); }
Amount.prototype.__proto__ = Number.prototype;
Amount.prototype.__constructor__ = Number;
var a = new Amount("12.5");
trace(a * 2 + " " + a.toString());
trace(new Number(3) + new Boolean(true) + " " + new String("x").length);
