// swf 5
// Up to SWF 5 every clip's _focusrect is the player's, read back as 1 or 0.
// (createEmptyMovieClip is hidden from SWF 5 code: shown first.)
ASSetPropFlags(MovieClip.prototype, "createEmptyMovieClip", 0, 128);
createEmptyMovieClip("clip", 1);
trace(_focusrect + " " + clip._focusrect);
clip._focusrect = false;
trace(_focusrect + " " + clip._focusrect);
