// swf 8
// How a field writes its htmlText: nothing for a field without text, and FONT tags that nest:
// a run whose font matches an open FONT closes the FONTs inside it, any other run opens a
// FONT inside the innermost one naming only what differs from it.
createTextField("field", 1, 0, 0, 200, 20);
field.html = true;
var base = new TextFormat("Arial", 10, 0);
field.setNewTextFormat(base);
field.htmlText = "<i></i>";
trace("[" + field.htmlText + "]");
var cases = [
    "a <font color=\"#aaaaaa\">b</font> c",
    "a <font color=\"#aaaaaa\">b</font><font color=\"#bbbbbb\">c</font>",
    "a <font color=\"#aaaaaa\">b</font><font size=\"16\">c</font>",
    "a <font color=\"#aaaaaa\">b <font size=\"16\">c</font></font> d",
    "<font color=\"#aaaaaa\">a</font> <font color=\"#aaaaaa\">b</font>"
];
var head = "<P ALIGN=\"LEFT\"><FONT FACE=\"Arial\" SIZE=\"10\" COLOR=\"#000000\" LETTERSPACING=\"0\" KERNING=\"0\">";
for (var i = 0; i < cases.length; i++) {
    field.htmlText = cases[i];
    var written = field.htmlText;
    if (written.indexOf(head) == 0)
        written = "<P0>" + written.substr(head.length);
    trace(written);
}
field.htmlText = "<font kerning=\"1\">k</font>";
trace(field.getTextFormat(0).kerning);
// Characters that differ only in what the markup does not write are written together.
field.htmlText = "<i>one<li>two</li></i>";
trace(field.htmlText.substr(head.length));
