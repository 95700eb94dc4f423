// swf 8
// A property that ASSetPropFlags hides from this SWF version reads as missing, yet the object
// still owns it and lists it; a write replaces it with a plain visible one, and a hidden getter
// up the prototype chain is passed over by reads and writes.
var o = new Object();
o.prop = "first";
ASSetPropFlags(o, "prop", 16384);
trace(o.prop);
trace(o.hasOwnProperty("prop"));
for (var k in o) trace("listed " + k + " " + o[k]);
o.prop = "second";
trace(o.prop);
ASSetPropFlags(o, "prop", 16384);
trace(o.prop);
trace(delete o.prop);
trace(o.hasOwnProperty("prop"));

var base = new Object();
base.addProperty("prop", function() { trace("getter"); return "got"; }, function(v) { trace("setter " + v); });
var child = new Object();
child.__proto__ = base;
trace(child.prop);
child.prop = 1;
ASSetPropFlags(base, "prop", 16384);
trace(child.prop);
child.prop = 20;
trace(child.prop);
trace(child.hasOwnProperty("prop"));
