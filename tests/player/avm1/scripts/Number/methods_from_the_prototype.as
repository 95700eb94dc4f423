// swf 7
// Numbers, boxed or not, find valueOf and toString on Number.prototype, so replacing them there
// changes what numbers answer.
var boxed = new Number(268);
var plain = 12;
var savedValueOf = Number.prototype.valueOf;
var savedToString = Number.prototype.toString;
Number.prototype.valueOf = function() { return "fake value"; };
Number.prototype.toString = function() { return "fake text"; };
trace(boxed.valueOf());
trace(plain.valueOf());
trace(boxed.toString());
trace(plain.toString());
Number.prototype.valueOf = savedValueOf;
Number.prototype.toString = savedToString;
trace(boxed.valueOf());
trace(plain.toString());
