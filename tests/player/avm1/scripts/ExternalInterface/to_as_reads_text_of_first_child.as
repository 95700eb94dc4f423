// swf 8
// _toAS reads a text or a number from the first child as text, whatever object it is, and
// compares the node name as == would.
var EI = flash.external.ExternalInterface;
function node(name, child) { var o = new Object(); o.nodeName = name; if (child != undefined) o.firstChild = child; return o; }
var named = new Object();
named.toString = function() { return "null"; };
trace(EI._toAS(node(new String("null"))));
trace(EI._toAS(node(named)));
var text = EI._toAS(node("string", "value"));
trace(text + " " + text.length);
trace(EI._toAS(node("string", named)));
trace(EI._toAS(node("string")));
trace(EI._toAS(node("string", "a &amp; b")));
trace(EI._toAS(node("number", "-6")));
trace(EI._toAS(node("number", " -2.1")));
trace(EI._toAS(node("number", "-2.1 ")));
var five = new Object();
five.toString = function() { return "5"; };
trace(EI._toAS(node("number", five)));
trace(EI._toAS(new XML("<number>12</number>").firstChild));
trace(EI._toAS(new XML("<string>x &lt; y</string>").firstChild));
