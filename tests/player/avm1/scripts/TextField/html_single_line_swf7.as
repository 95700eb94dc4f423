// swf 7
// A single-line field runs the paragraphs of its markup together; a multiline one keeps them.
createTextField("field", 1, 0, 0, 100, 20);
field.html = true;
field.htmlText = "<p>one</p><p>two</p>three<br>four";
trace(field.text);
field.htmlText = field.htmlText + "more";
trace(field.text);
field.multiline = true;
field.htmlText = "<p>one</p><p>two</p>";
trace(escape(field.text));
