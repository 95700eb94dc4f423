// swf 8
// "new Transform" gives undefined unless it is given a movie clip.
var Transform = flash.geom.Transform;
trace(new Transform());
trace(new Transform({}));
var clip = createEmptyMovieClip("clip", 1);
var t = new Transform(clip);
trace(typeof t);
trace(t.matrix.tx);
