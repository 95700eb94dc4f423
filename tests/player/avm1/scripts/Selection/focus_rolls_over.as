// swf 8
// Giving the focus takes the mouse there: what it was over rolls out and the focused object
// rolls over, each time, even when the focus does not change. Text fields hear neither. The
// events wait until the running script ends.
createEmptyMovieClip("first", 1);
createEmptyMovieClip("second", 2);
createTextField("field", 3, 0, 0, 100, 20);
first.focusEnabled = true;
second.focusEnabled = true;
var names = ["first", "second", "field"];
for (var i = 0; i < names.length; i++) {
    var target = this[names[i]];
    target.label = names[i];
    target.onRollOver = function() { trace(this.label + " rolled over"); };
    target.onRollOut = function() { trace(this.label + " rolled out"); };
}
Selection.setFocus(first);
Selection.setFocus(first);
Selection.setFocus(field);
Selection.setFocus(second);
Selection.setFocus(null);
Selection.setFocus(null);
trace("script done");
