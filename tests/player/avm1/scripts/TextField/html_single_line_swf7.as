// swf 7
// A single-line field runs the paragraphs of its markup together (line ends in the markup's
// text still break); a multiline one keeps every paragraph's break, the last one included.
// Text between tags that is only blanks is dropped before SWF 8.
createTextField("field", 1, 0, 0, 100, 20);
field.html = true;
field.htmlText = "<p>one</p><p>two</p>three<br>four";
trace(field.text);
field.htmlText = field.htmlText + "more";
trace(field.text);
field.multiline = true;
field.htmlText = "<p>one</p><p>two</p>";
trace(escape(field.text));
field.htmlText = "<li>one</li><p>two</p>";
trace(escape(field.text));
field.htmlText = "<b>one</b>\n <i>two</i>\nthree\n";
trace(escape(field.text));
field.multiline = false;
field.htmlText = "<p>one</p>two\nthree<br>four<li>five</li>";
trace(escape(field.text));
// Before SWF 8 FONT's kerning attribute is not read.
field.htmlText = "<font kerning=\"1\">k</font>";
trace(field.getTextFormat(0).kerning);
