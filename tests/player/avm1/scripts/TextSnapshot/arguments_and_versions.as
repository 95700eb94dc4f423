// swf 6
// findText wants exactly three arguments; a snapshot of no clip answers undefined; the methods
// are enumerable; getTextSnapshot builds through whatever _global.TextSnapshot is.
var s = new TextSnapshot(this);
trace(s.getCount() + " " + s.findText(0, "A") + " " + s.findText(0, "A", true) + " " + s.findText(0, "A", true, 1));
trace(s.getText(0) + " " + s.getText(0, 5) + "|" + s.getSelected(0, 1) + " " + s.hitTestTextNearPos(0, 0));
var none = new TextSnapshot(5);
trace(none.getCount() + " " + none.getText(0, 5) + " " + none.findText(0, "A", true));
var names = [];
for (var name in s)
    names.push(name);
names.sort();
trace(names);
var Original = TextSnapshot;
_global.TextSnapshot = function(target) { trace("made for " + target); };
trace(getTextSnapshot() instanceof _global.TextSnapshot);
_global.TextSnapshot = Original;
