// swf 7
// A FONT colour is read as the hexadecimal digits after '#' and any blanks, up to the first
// other character, kept to their last 24 bits; a value without '#' or without a digit after it
// leaves the colour around the tag. An attribute value without quotes spoils the markup:
// nothing from that tag on is kept.
createTextField("field", 1, 0, 0, 100, 20);
field.html = true;
var colors = ["#0000ff", "#ff", "#ff0", "ff00ff", "hi", "", "#ff00ffffee", "#ff00gp"];
for (var i = 0; i < colors.length; i++) {
    field.htmlText = "<font color=\"" + colors[i] + "\">x</font>";
    trace(colors[i] + " " + field.getTextFormat(0).color.toString(16));
}
field.htmlText = "<font color=#00ff00>green</font>";
trace("[" + field.text + "]");
field.htmlText = "kept<font color=#00ff00>green</font>";
trace("[" + field.text + "]");
var inner = ["202020", " #234567", "# 234567", "#\t234567", "#2 34567", "#g101010", "# ", "#abfg", "#123456789abcdef"];
for (var i = 0; i < inner.length; i++) {
    field.htmlText = "<font color=\"#123456\">x<font color=\"" + inner[i] + "\">y</font></font>";
    trace("inner [" + inner[i] + "] " + field.getTextFormat(1).color.toString(16));
}
