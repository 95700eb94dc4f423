// swf 8
// A name an object lacks is asked of its __resolve handler, which is called on the object with
// the name; names the object has, itself or through its prototypes, never reach the handler.
var o = {kept: "own"};
o.__resolve = function(name) { trace("resolve " + name + " on " + (this == o)); return "made " + name; };
trace(o.missing);
trace(o.kept);
trace(o.hasOwnProperty("missing"));
// A method found this way is called on the object.
o.__resolve = function(name) { return function() { return name + " called, this is o: " + (this == o); }; };
trace(o.act());
// The handler may come from the prototype; one of the object's own that is no object is passed
// over, and one that is an object but no function gives undefined.
function Holder() {}
Holder.prototype.__resolve = function(name) { return "from the prototype: " + name; };
var h = new Holder();
trace(h.anything);
h.__resolve = 42;
trace(h.anything);
h.__resolve = {};
trace(h.anything);
