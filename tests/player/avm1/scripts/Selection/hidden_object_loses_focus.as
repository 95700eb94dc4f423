// swf 8
// Hiding the object that has the focus takes the focus away, with the events of any move of
// the focus; showing it again does not give it back. Hiding another object changes nothing.
createEmptyMovieClip("clip", 1);
clip.focusEnabled = true;
createEmptyMovieClip("other", 2);
Selection.addListener({onSetFocus: function (from, to) {
    trace("focus: " + from + " -> " + to);
}});
Selection.setFocus(clip);
other._visible = false;
trace(Selection.getFocus());
clip._visible = false;
trace(Selection.getFocus());
clip._visible = true;
trace(Selection.getFocus());
