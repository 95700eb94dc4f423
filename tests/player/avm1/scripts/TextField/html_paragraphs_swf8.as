// swf 8
// From SWF 8 on, text between tags that is only blanks and line ends is kept; a single-line
// field still runs the markup's paragraphs together.
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
