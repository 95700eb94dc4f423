// swf 8
// Converting an object to a primitive calls its valueOf and toString without asking __resolve:
// an object lacking both converts to undefined. A script's own call of the same name still asks.
var bare = {};
bare.__proto__ = undefined;
bare.__resolve = function(name) { trace("resolve " + name); return function() { return "made by " + name; }; };
trace("text: " + bare);
trace(bare.valueOf());
var plain = {};
plain.__resolve = bare.__resolve;
trace("plain: " + plain);
