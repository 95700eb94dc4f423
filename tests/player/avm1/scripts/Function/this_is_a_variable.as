// swf 8
// "this" is looked up along the scope chain like any variable: a frame script may assign it on
// its clip, and a function binds its own "this" in its activation, where it may assign it too.
trace(this);
set("this", "assigned");
trace(this);
trace(typeof this);
function f() {
    trace(this == _root);
    set("this", 1234);
    trace(this);
    var inner = function () { return this; };
    trace(inner() == 1234);
}
f();
trace(this);
var holder = {name: "holder"};
holder.method = function () { return this.name; };
trace(holder.method());
