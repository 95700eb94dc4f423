// swf 6
// From SWF 6 on a function inherits Object.prototype's methods, and so has a primitive value
// of its own: it no longer equals undefined.
function greet(a) { return "hi " + a; }
trace(greet == undefined);
trace(greet == null);
trace(typeof greet.toString);
trace(greet.toString());
trace(greet.valueOf() == greet);
