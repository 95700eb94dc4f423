// swf 8
// super stands for a place along the prototype chain of "this", counted from it, not for the
// objects there when the method was called: a method that gives "this" another prototype
// reaches the constructor and methods of the new one. super(...) reaching Error runs its
// constructor on "this", which takes the message.
function First() {}
First.prototype.describe = function() { return "first"; };
function Host() {}
Host.prototype.__constructor__ = First;
Host.prototype.__proto__ = First.prototype;
Host.prototype.swap = function() {
    this.__proto__ = {__constructor__: Second, __proto__: Second.prototype};
    trace(super.describe());
    super();
};
function Second() { trace("Second constructs"); }
Second.prototype.describe = function() { return "second"; };
var host = new Host();
host.swap();
function Failure(message) { super(message); }
Failure.prototype.__proto__ = Error.prototype;
Failure.prototype.__constructor__ = Error;
var failure = new Failure("broken");
trace(failure.message + " " + failure + " " + failure.hasOwnProperty("message"));
