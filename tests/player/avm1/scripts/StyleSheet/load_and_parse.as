// swf 8 frames 2
// StyleSheet.load refuses without a file name and otherwise starts loading; the text arrives
// later through onData, which reads it with the sheet's parse method and tells onLoad whether
// it was CSS. A file that cannot be read calls onLoad(false) without parsing. Values keep the
// blanks after them.
var sheet = new TextField.StyleSheet();
sheet.parse = function(text) {
    trace("parse [" + text + "]");
    return TextField.StyleSheet.prototype.parse.call(this, text);
};
sheet.onLoad = function(ok) {
    trace("onLoad " + ok);
};
trace(sheet.load());
sheet.onData("a { color: blue }");
trace("[" + sheet.getStyle("a").color + "]");
sheet.onData("a { color: red } not css");
trace("[" + sheet.getStyle("a").color + "]");
sheet.onData(undefined);
trace(sheet.load("no such file.css"));
trace("asked");
