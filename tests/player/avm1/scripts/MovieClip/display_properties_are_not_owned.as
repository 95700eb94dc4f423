// swf 7
// The display properties of clips and text fields are read through the object, yet
// hasOwnProperty counts none of them as its own; variables set on the object still are.
createEmptyMovieClip("clip", 1);
createTextField("field", 2, 0, 0, 50, 20);
var names = ["_x", "_alpha", "_parent", "_xmouse", "_xscale", "_name", "_target"];
for (var i = 0; i < names.length; i++)
    trace(names[i] + " " + clip.hasOwnProperty(names[i]) + " " + field.hasOwnProperty(names[i]));
trace(typeof clip._alpha);
trace(typeof field._alpha);
clip.own = 1;
field.own = 2;
trace(clip.hasOwnProperty("own") + " " + field.hasOwnProperty("own"));
