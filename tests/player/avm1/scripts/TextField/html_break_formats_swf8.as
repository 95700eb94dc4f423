// swf 8
// A paragraph's closing break has a format of its own, and htmlText writes it: as an empty run
// where it differs from the text before it. The break a P ends with takes the character format
// of the last FONT that closed with nothing in it, from then on; without one, that of the text
// before it in its paragraph, or the field's for an empty paragraph. Its paragraph format is
// the P's. An LI's break, a BR and line ends in the markup take the format where they stand.
// Closing a P leaves the tags opened inside it open.
createTextField("field", 1, 0, 0, 100, 20);
field.html = true;
function tidy(html) {
    var parts = html.split(' FACE="');
    var out = parts[0];
    for (var i = 1; i < parts.length; i++)
        out += " " + parts[i].substr(parts[i].indexOf("COLOR="));
    return out.split(' LETTERSPACING="0" KERNING="0"').join("");
}
function show(markup) {
    field.htmlText = markup;
    trace(escape(field.text) + " " + tidy(field.htmlText));
}
show("<font color=\"#111111\">test</font>\n");
field.multiline = true;
show("<b>\n</b>");
show("<b></b>\n");
show("<p>test<b></b></p>");
show("<p><font color=\"#111111\">test</font></p>");
show("<p><font color=\"#111111\"><b></b></font></p>");
show("<p>test<font color=\"#121212\"></font><p>test</p><font color=\"#131313\"><p>test</p></font>");
show("<b><p align=\"right\"></p></b>");
show("<li><font color=\"#010101\">text</font></li>");
show("<p><li>test</li></p>");
show("<p><li><p>test</p></li></p>");
