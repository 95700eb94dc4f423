// swf 8
// A field that asks for embedded fonts never shows device text: in a font the movie does not
// embed, its text measures nothing, and an autoSize field keeps only its gutters.
createTextField("field", 1, 0, 0, 100, 20);
field.text = "Some text";
trace((field.textWidth > 0) + " " + (field.textHeight > 0));
field.embedFonts = true;
trace(field.textWidth + " " + field.textHeight);
field.autoSize = "left";
trace(field._width + " " + field._height);
field.embedFonts = false;
trace((field.textWidth > 0) + " " + (field.textHeight > 0));
