// swf 6
// A clip's or field's _focusrect is its own and null until set; the level's stands for the whole
// player: null, undefined and what is no number leave it, an object turns it off, other values
// are on unless 0.
createEmptyMovieClip("clip", 1);
createTextField("field", 2, 0, 0, 10, 10);
trace(_focusrect + " " + clip._focusrect + " " + field._focusrect);
clip._focusrect = 0;
field._focusrect = "x";
trace(_focusrect + " " + clip._focusrect + " " + field._focusrect);
clip._focusrect = {};
field._focusrect = undefined;
trace(clip._focusrect + " " + field._focusrect);
clip._focusrect = null;
trace(clip._focusrect);
_focusrect = 0;
trace(_focusrect + " " + _root._focusrect + " " + clip._focusrect);
_focusrect = "";
trace(_focusrect);
_focusrect = false;
_focusrect = null;
trace(_focusrect);
_focusrect = undefined;
trace(_focusrect);
_focusrect = "0.5";
trace(_focusrect);
_root._focusrect = {};
trace(_focusrect);
