// swf 7
// A FONT colour is read as the hexadecimal digits after '#', up to the first other character,
// kept to 24 bits; without '#' it is black. An attribute value without quotes spoils the markup:
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
