// swf 8
// From SWF 8 the flash package holds the file dialogs and the text renderer as well.
trace(typeof TextField.StyleSheet);
trace(typeof flash.net + " " + typeof flash.net.FileReference + " " + typeof flash.net.FileReferenceList);
trace(typeof flash.text.TextRenderer + " " + typeof flash.text.TextRenderer.prototype);
