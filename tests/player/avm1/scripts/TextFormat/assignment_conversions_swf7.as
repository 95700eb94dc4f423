// swf 7
// Assigning to a TextFormat converts as the constructor does (colours unsigned, flags
// boolean, sizes cut to whole numbers, font names at most 64 characters), but margins, indents
// and leading cannot go below 0, and an alignment Flash does not know (null too) changes nothing.
var f = new TextFormat("abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz", -10.9, -11, 0, 1, "", null, null, "nowhere", -3.5, -1, -2, -4);
trace(f.font.length + " " + f.size + " " + f.color + " " + f.bold + " " + f.italic + " " + f.underline + " " + f.align + " " + f.leftMargin + " " + f.indent + " " + f.leading);
f.size = -10.9; f.color = -11; f.bold = 0; f.italic = "x"; f.align = "RIGHT";
f.leftMargin = -3.5; f.rightMargin = 2.9; f.indent = -2; f.leading = -4; f.blockIndent = -1;
trace(f.size + " " + f.color + " " + f.bold + " " + f.italic + " " + f.align + " " + f.leftMargin + " " + f.rightMargin + " " + f.indent + " " + f.leading + " " + f.blockIndent);
f.align = "middle";
trace(f.align);
f.align = null;
f.size = null;
f.font = "abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz";
trace(f.align + " " + f.size + " " + f.font.length);
