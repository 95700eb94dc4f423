// swf 6
// Before SWF 7 single-line fields keep the paragraphs of their markup as multiline ones do,
// the break after the last one included.
// Text between tags that is only blanks is dropped before SWF 8.
createTextField("field", 1, 0, 0, 100, 20);
field.html = true;
field.htmlText = "<p>one</p><p>two</p>three<br>four";
trace(escape(field.text));
field.htmlText = field.htmlText + "more";
trace(escape(field.text));
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
