// swf 8
// FONT sizes are an optional sign and the digits after it (the rest ignored), relative to the
// size around the tag when signed, kept within 1 to 127; a value without digits changes
// nothing. A closing tag that does not name the innermost open tag is ignored.
createTextField("field", 1, 0, 0, 200, 20);
field.html = true;
field.setNewTextFormat(new TextFormat("Arial", 10));
var sizes = ["12", "+1", "-3", "1.9", "12px", "nothing", "+", "0", "500", "-20", "1+1"];
for (var i = 0; i < sizes.length; i++) {
    field.htmlText = "<font size=\"20\">a<font size=\"" + sizes[i] + "\">b</font></font>";
    trace(sizes[i] + " " + field.getTextFormat(1).size);
}
field.htmlText = "<b>a<i>b</b>c</i>d</b>e";
var styles = "";
for (var i = 0; i < field.length; i++) {
    var format = field.getTextFormat(i);
    styles += field.text.charAt(i) + (format.bold ? "B" : "") + (format.italic ? "I" : "") + " ";
}
trace(styles);
