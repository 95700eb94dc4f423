// swf 8
// From SWF 8 assigned sizes and spacings are rounded, a half to the even number, and the
// indents and leading may be negative; margins still may not.
var f = new TextFormat();
f.size = -10.5; f.indent = -9.5; f.leading = 2.5; f.blockIndent = -10.9; f.leftMargin = -2.5;
trace(f.size + " " + f.indent + " " + f.leading + " " + f.blockIndent + " " + f.leftMargin);
