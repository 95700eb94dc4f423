// swf 5
// In SWF 5 a function inherits nothing from Object.prototype: it has no toString nor valueOf,
// so it has no primitive value and equals undefined and null, but not 0 or a string. Its own
// prototype object is an ordinary object.
function greet(a) { return "hi " + a; }
trace(greet == undefined);
trace(greet == null);
trace(greet != 0);
trace(greet != "");
trace(greet != "[type Function]");
trace(typeof greet);
trace(typeof greet.toString);
trace(typeof greet.valueOf);
trace(greet);
trace(greet("you"));
trace(greet.prototype.__proto__ == Object.prototype);
trace(typeof greet.prototype.toString);
var holder = new Object();
holder.method = greet;
trace(holder.method == undefined);
greet.toString = function () { return "custom"; };
trace(greet.toString());
