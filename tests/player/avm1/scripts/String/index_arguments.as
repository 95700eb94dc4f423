// swf 8
// String methods read their index arguments as 32-bit integers, so large numbers wrap around;
// without any argument the searches and the cuts give undefined.
var s = "foo+foo";
trace(s.charAt(4294967297));
trace(s.charCodeAt(4294967297));
trace(s.charCodeAt(9));
var t = "aaatestFOOtestaaanull";
trace(t.indexOf("test", 4294967300));
trace(t.lastIndexOf("test", 4294967300));
trace(t.indexOf("", 100));
trace(t.indexOf(undefined));
trace(t.indexOf());
trace(t.lastIndexOf());
trace(t.lastIndexOf("test", null));
var h = "Hello1234";
trace(h.slice(4294967296, 4294967298));
trace(h.slice());
trace(h.substr(4294967296, -4294967294));
trace(h.substr());
trace(h.substring(4294967296, -4294967294));
trace(h.substring());
var c = "A,,b,c,";
trace(c.split(",", -100).length);
trace(c.split(",", 4294967298).length);
trace(c.split("").length);
trace(c.split().length);
