// swf 6 shape box
// A Color whose target is no clip reads it as a path through its toString, once per method call
// and not when made; a clip target is used as it is, without asking its toString.
var calls = "";
var named = {};
named.toString = function() { calls += "."; return "box"; };
var viaText = new Color(named);
trace("made: '" + calls + "'");
viaText.setRGB(0x336699);
trace("set: '" + calls + "'");
trace(viaText.getRGB().toString(16) + " '" + calls + "'");
trace(new Color(box).getRGB().toString(16));
calls = "";
box.toString = function() { calls += ":"; return "nothing"; };
var direct = new Color(box);
direct.setRGB(0x112233);
trace(direct.getRGB().toString(16) + " '" + calls + "'");
trace(new Color(4).getRGB());
