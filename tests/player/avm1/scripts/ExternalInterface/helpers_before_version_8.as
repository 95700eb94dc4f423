// swf 6
// Before SWF 8 the helpers and addCallback are there as properties but read as undefined; call
// is a function in every version. (The flash package itself is uncovered first: it is hidden
// before SWF 8.)
ASSetPropFlags(_global, "flash", 0, 5248);
var EI = flash.external.ExternalInterface;
trace(EI.hasOwnProperty("_escapeXML") + " " + typeof EI._escapeXML + " " + EI.hasOwnProperty("addCallback") + " " + typeof EI.addCallback);
trace(typeof EI.call + " " + typeof EI.available + " " + EI.hasOwnProperty("_objectID"));
var names = "";
for (var name in EI)
    names += name;
trace("[" + names + "]");
