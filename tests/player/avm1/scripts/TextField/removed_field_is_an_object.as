// swf 7
// Only movie clips are "movieclip" to typeof, also once they have left the stage: a removed
// text field stays an object.
createTextField("field", 1, 0, 0, 100, 20);
var kept = field;
trace(typeof kept);
kept.removeTextField();
trace(typeof kept);
var clip = createEmptyMovieClip("clip", 2);
clip.removeMovieClip();
trace(typeof clip);
