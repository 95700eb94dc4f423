// swf 5
// SWF 5 code does not see __constructor__ on what new makes, nor on a boxed primitive; the
// constructor slot it does see.
function Mail(to) { this.to = to; }
function Email() {}
Email.prototype = new Mail("x");
trace(typeof Email.prototype.__constructor__);
trace(Email.prototype.constructor == Mail);
var made = new Number(2);
trace(typeof made.__constructor__);
trace(made.constructor == Number);
var n = 3;
trace(typeof n.__constructor__);
trace(n.constructor == Number);
