// swf 8
// A text field given the focus has all its text selected, once the focus listeners have run;
// setSelection moves the caret to its second index, and replaceSel writes over the selection.
createTextField("field", 1, 0, 0, 100, 20);
field.text = "Input text";
function indices() { return Selection.getBeginIndex() + " " + Selection.getCaretIndex() + " " + Selection.getEndIndex(); }
trace(indices());
var listener = {};
listener.onSetFocus = function() { trace("listener: " + indices()); };
Selection.addListener(listener);
Selection.setFocus(field);
trace(indices());
Selection.setSelection(5, 2); trace(indices());
Selection.setSelection(-1, 1); trace(indices());
Selection.setSelection(); trace(indices());
Selection.setSelection(0); trace(indices());
Selection.setSelection(1, 3);
field.replaceSel("blah"); trace(field.text);
field.replaceSel("blah"); trace(field.text + " " + indices());
Selection.removeListener(listener);
Selection.setFocus(null);
Selection.setFocus(field);
field.replaceSel("all"); trace(field.text);
