// swf 8
// From SWF 8 on, markup keeps the field's alignment for the paragraphs it does not align, and
// new text keeps its alignment unless the markup leaves the field without text.
createTextField("field", 1, 0, 0, 100, 40);
field.html = true;
field.multiline = true;
var centered = new TextFormat();
centered.align = "center";
centered.indent = 4;
field.setNewTextFormat(centered);
field.htmlText = "a<br>b";
trace(field.getTextFormat(0, 1).align + " " + field.getNewTextFormat().align + " " + field.getNewTextFormat().indent);
field.htmlText = "<p align=\"right\">a</p><p align=\"right\">b</p>";
trace(field.getTextFormat(2, 3).align + " " + field.getNewTextFormat().align);
field.setNewTextFormat(centered);
field.htmlText = "";
trace(field.getNewTextFormat().align);
field.html = false;
field.text = "plain";
trace(field.getTextFormat(0, 1).align);
