// swf 7
// textColor is the colour of the field's new text: formats given to the text leave it alone,
// setting it colours the text and the new text, and setNewTextFormat changes it.
createTextField("field", 1, 0, 0, 100, 20);
field.text = "abc";
trace(field.textColor);
field.textColor = 0x404040;
trace(field.getTextFormat().color + " " + field.getNewTextFormat().color);
var format = new TextFormat();
format.color = 0x808080;
field.setTextFormat(format);
trace(field.textColor + " " + field.getTextFormat(0).color);
field.html = true;
field.htmlText = "<font color='#00ff00'>green</font>";
trace(field.textColor + " " + field.getTextFormat(1).color);
format.color = 0x123456;
field.setNewTextFormat(format);
trace(field.textColor);
