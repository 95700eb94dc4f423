// swf 8 frames 2
// A timer that calls a method of a clip ends with the clip: it does not call the method of a
// clip created since under the same name. A function timer keeps running.
createEmptyMovieClip("target", 1);
target.ping = function() { trace("old ping"); };
setInterval(target, "ping", 30);
target.removeMovieClip();
createEmptyMovieClip("target", 1);
target.ping = function() { trace("new ping"); };
var calls = 0;
var id = setInterval(function() { calls++; if (calls == 2) clearInterval(id); trace("function " + calls); }, 30);
