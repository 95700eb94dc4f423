// swf 8
// An object's properties go into the XML in the order for..in lists them: the newest first,
// for plain objects, arrays read as objects, and arguments alike.
var EI = flash.external.ExternalInterface;
var o = {};
o.first = 1;
o.second = "two";
o.third = true;
trace(EI._objectToXML(o));
trace(EI._toXML(o));
var a = new Array();
a[5] = 5;
a[2] = 2;
a[3] = 3;
trace(EI._objectToXML(a));
function listArguments() { return EI._objectToXML(arguments); }
trace(listArguments("x", 1));
