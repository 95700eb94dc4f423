// swf 6 shape box
// getProperty and setProperty take an object that is not a clip as the text of a path, so its
// toString runs. With no clip at the end of the path the value is still converted to the
// property's type: a number, text for _name, nothing for the read-only _url.
var named = {toString: function() { trace("named.toString"); return "box"; },
             valueOf: function() { trace("named.valueOf"); return 0; }};
var missing = {toString: function() { trace("missing.toString"); return "nowhere"; }};
var amount = {valueOf: function() { trace("amount.valueOf"); return 25; },
              toString: function() { trace("amount.toString"); return "25"; }};
setProperty(named, _x, 40);
trace(box._x);
trace(getProperty(named, _x));
trace(getProperty(missing, _x));
setProperty(missing, _alpha, amount);
setProperty(missing, _name, amount);
setProperty(missing, _url, amount);
setProperty(box, _y, amount);
trace(box._y);
