// swf 7
// A function called as a value (a method call with an empty or undefined name) runs with no
// "this" at all: not the caller's, not the global object.
function whoIsThis() { return this === _global ? "global" : typeof this; }
this.marker = "root";
trace(whoIsThis[""]());
trace(whoIsThis[undefined]());
var functions = [whoIsThis];
trace((functions[0])());
function readMarker() { return this.marker; }
trace(readMarker[""]());
var holder = {marker: "holder", read: readMarker};
trace(holder.read());
trace(holder["read"]());
