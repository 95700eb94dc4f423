// swf 6
// Setting a display property converts the value the property's own way: undefined, null and
// whatever is NaN leave it alone in every version, positions are whole twips in 32 bits (out of
// range is the lowest one), scales keep the infinities, an infinite angle is NaN, an infinite
// alpha is 0, and visibility and the player's focus rectangle take any number but 0 as on.
createEmptyMovieClip("c", 1);
setProperty(c, _x, 3);
setProperty(c, _x, null);
trace(getProperty(c, _x));
setProperty(c, _x, 1e10);
trace(getProperty(c, _x));
setProperty(c, _y, -2.5);
setProperty(c, _y, undefined);
trace(getProperty(c, _y));
setProperty(c, _y, -1e12);
trace(getProperty(c, _y));
setProperty(c, _xscale, 50);
setProperty(c, _xscale, null);
trace(getProperty(c, _xscale));
setProperty(c, _yscale, 1e400);
trace(getProperty(c, _yscale));
setProperty(c, _yscale, -1 / 0);
trace(getProperty(c, _yscale));
setProperty(c, _rotation, 30);
setProperty(c, _rotation, undefined);
trace(getProperty(c, _rotation));
setProperty(c, _rotation, -1 / 0);
trace(getProperty(c, _rotation));
setProperty(c, _alpha, 50);
setProperty(c, _alpha, null);
trace(getProperty(c, _alpha));
setProperty(c, _alpha, -1 / 0);
trace(getProperty(c, _alpha));
setProperty(c, _visible, false);
setProperty(c, _visible, "yes");
trace(getProperty(c, _visible));
setProperty(c, _visible, "0.5");
trace(getProperty(c, _visible));
setProperty(c, _visible, null);
trace(getProperty(c, _visible));
setProperty("", _focusrect, 0);
setProperty("", _focusrect, "on");
trace(_focusrect);
setProperty("", _focusrect, "-3");
trace(_focusrect);
