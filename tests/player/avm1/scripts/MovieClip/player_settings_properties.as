// swf 7
// _soundbuftime, _quality and _highquality are the player's, set and read through any clip.
// The buffer time keeps whole seconds in 32 bits; _quality takes only the quality names;
// _highquality picks low for 0, best from 2 up and high for any other number.
createEmptyMovieClip("c", 1);
setProperty(c, _soundbuftime, 7.9);
trace(getProperty("", _soundbuftime));
setProperty("", _soundbuftime, -2.7);
setProperty("", _soundbuftime, null);
trace(_soundbuftime);
setProperty("", _soundbuftime, 3e9);
trace(_soundbuftime);
setProperty(c, _highquality, 3);
trace(_quality + " " + _highquality);
setProperty("", _quality, "MEDIUM");
setProperty("", _quality, 1);
trace(getProperty(c, _quality));
setProperty("", _quality, "LOW");
setProperty("", _highquality, undefined);
trace(_quality + " " + _highquality);
setProperty("", _highquality, -2);
trace(_quality + " " + _highquality);
