// swf 7
// An error's toString gives its message as it is, without making text of it; Error called
// without new makes no error.
var e = new Error({toString: function() { return "from an object"; }});
trace(typeof e.toString());
trace(e.toString().toString());
e = new Error(12);
trace(typeof e.toString());
trace(e.toString() + 1);
e = new Error();
trace(e.toString());
e.message = undefined;
trace(typeof e.toString());
trace(typeof Error("called"));
trace(typeof new Error("made"));
