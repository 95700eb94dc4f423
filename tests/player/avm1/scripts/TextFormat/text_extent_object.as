// swf 8
// getTextExtent answers with an object that has no prototype: it prints as "[type Object]" and
// has none of Object's methods, only its own measures.
var extent = new TextFormat().getTextExtent("abc");
trace(extent);
trace(extent.__proto__);
trace(typeof extent.hasOwnProperty);
trace(extent.width > 0 && extent.height > 0);
