// swf 7
// From SWF 7 on new names the class only as __constructor__; constructor comes from the
// prototype. The names of a box can be changed and deleted like any slot.
var made = new Number(1);
trace(typeof made.__constructor__ + " " + made.hasOwnProperty("__constructor__") + " " + made.hasOwnProperty("constructor"));
trace(new Array().hasOwnProperty("__constructor__") + " " + new XML().hasOwnProperty("__constructor__"));
var text = "abc";
trace(text.hasOwnProperty("__constructor__") + " " + text.hasOwnProperty("constructor") + " " + (text.constructor == String));
var box = new String("x");
trace(delete box.__constructor__);
trace(box.hasOwnProperty("__constructor__") + " " + typeof box.__constructor__);
box.__constructor__ = Number;
trace(box.__constructor__ == Number);
