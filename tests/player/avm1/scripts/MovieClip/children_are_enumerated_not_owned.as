// swf 8
// for..in over a clip lists its named children, yet hasOwnProperty does not count them as the
// clip's own properties; the clip's variables still are.
createEmptyMovieClip("first", 1);
createEmptyMovieClip("second", 2);
var plain = 1;
var clips = [];
for (var name in this) {
    if (typeof this[name] == "movieclip")
        clips.push(name);
}
clips.sort();
trace(clips);
trace(hasOwnProperty("first"));
trace(hasOwnProperty("plain"));
trace(typeof first);
