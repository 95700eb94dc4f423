// swf 8
// A string, number or boolean used as an object is boxed by the class _global holds under its
// type's name at that moment: a getter there runs, a script's class runs as a constructor with
// the value, and anything that is no function boxes nothing (a method then runs on _global).
function Wrapped(value) { super(value); trace("wrapped " + value); }
Wrapped.prototype.__proto__ = Number.prototype;
Wrapped.prototype.__constructor__ = Number;
Wrapped.prototype.tag = "wrapped";
function whoAmI() { return this === _global ? "global" : typeof this + " " + this.tag + " " + this.valueOf(); }
var original = Number;
_global.Number = Wrapped;
trace((5).tag);
trace(whoAmI.call(6));
_global.Number = "not a class";
trace((7).tag);
trace(whoAmI.call(8));
_global.Number = original;
trace((9).tag);
trace(whoAmI.call(10));
var asked = 0;
var savedString = String;
Object.prototype.addProperty.call(_global, "String", function() { asked++; return savedString; }, null);
trace("abc".length + " " + "abc".charAt(1) + " " + asked);
