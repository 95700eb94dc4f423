// swf 8
// The class's helpers turn values into the container's XML and back. Escaping gives null for an
// empty text; only the double quote is quoted for the browser; an object with its own length
// goes in as an array; elements and arguments are read up to the length (arguments skip the
// first); a function is null.
var EI = flash.external.ExternalInterface;
trace(EI._escapeXML() + " " + EI._escapeXML("") + " " + EI._escapeXML("a&b<'\">") + " " + EI._escapeXML(4));
trace(EI._unescapeXML("&amp;lt; &quot;x&quot;"));
trace(EI._jsQuoteString("say \"hi\" \\ ok") + " " + EI._jsQuoteString(""));
trace(EI._toXML("") + EI._toXML(null) + EI._toXML(undefined) + EI._toXML(-2.5) + EI._toXML(true) + EI._toXML(function() {}));
trace(EI._toXML([1, "a"]) + " " + EI._toXML({length: 2}));
var o = {};
o.k = "<v>";
trace(EI._toXML(o) + " " + EI._objectToXML(7));
trace(EI._arrayToXML("ab") + " " + EI._argumentsToXML([1, 2, 3]) + " " + EI._arrayToXML(true));
var doc = new XML("<array><property id=\"0\"><number>5</number></property><property id=\"1\"><object><property id=\"s\"><string>t</string></property></object></property></array>");
var back = EI._toAS(doc.firstChild);
trace(back.length + " " + back[0] + " " + back[1].s + " " + typeof EI._toAS(new XML("<string/>").firstChild));
trace(EI._toAS(new XML("<Null/>").firstChild) + " " + EI._toAS(new XML("<null/>").firstChild) + " " + EI._toAS(5));
trace(EI._argumentsToAS(new XML("<arguments><true/><number>2</number></arguments>").firstChild));
