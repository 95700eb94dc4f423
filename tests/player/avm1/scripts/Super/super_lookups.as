// swf 8
// super(...) runs the __constructor__ found from the holder of the running method, or from the
// prototype of "this" when the method is its own property; super.name() looks in the prototype
// above the holder. A clip in the place of that prototype gives nothing.
function made() { trace("made"); return "constructed"; }
var obj = {};
obj.__constructor__ = made;
obj.callSuper = function() { return super(); };
trace(obj.callSuper());
obj.__proto__ = {__proto__: {__constructor__: made}};
trace(obj.callSuper());

function Base(n) { trace("Base " + n); }
Base.prototype.describe = function() { return "base"; };
function Derived(n) { super(n + 1); }
Derived.prototype.__proto__ = Base.prototype;
Derived.prototype.__constructor__ = Base;
Derived.prototype.describe = function() { return "derived over " + super.describe(); };
Derived.prototype.rebuild = function() { return super(7); };
var d = new Derived(1);
trace(d.describe());
trace(d.rebuild());

_root.greet = function() { return "root greet"; };
var onClip = {};
onClip.__proto__ = _root;
onClip.greet = function() { return "own greet, super: " + super.greet(); };
trace(onClip.greet());
_root.__constructor__ = made;
onClip.callSuper = function() { return super(); };
trace(onClip.callSuper());
