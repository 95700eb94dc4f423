// swf 8
// A movie clip takes the focus only with focusEnabled set or a mouse handler of a button;
// refused, the focus stays where it was. A text field losing the focus forgets its selection,
// so that it reads -1 while the focus listeners run when it gains the focus again.
createEmptyMovieClip("plain", 1);
createEmptyMovieClip("willing", 2);
willing.focusEnabled = true;
createEmptyMovieClip("pressable", 3);
pressable.onRelease = function() {};
createTextField("field", 4, 0, 0, 100, 20);
field.type = "input";
field.text = "Input text";
trace(Selection.setFocus(plain) + " " + Selection.getFocus());
trace(Selection.setFocus(willing) + " " + Selection.getFocus());
trace(Selection.setFocus(plain) + " " + Selection.getFocus());
trace(Selection.setFocus(pressable) + " " + Selection.getFocus());
plain.onRollOver = function() {};
trace(Selection.setFocus(plain) + " " + Selection.getFocus());
function indices() { return Selection.getBeginIndex() + " " + Selection.getEndIndex(); }
Selection.setFocus(field);
trace(indices());
Selection.setFocus(willing);
var listener = {};
listener.onSetFocus = function() { trace("listener: " + indices()); };
Selection.addListener(listener);
Selection.setFocus(field);
trace(indices());
