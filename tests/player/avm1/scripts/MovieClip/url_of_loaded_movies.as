// swf 8 frames 3
// A movie loaded by a script reports, as _url, the address asked for resolved against the movie
// that loaded it, as a file: URL with its spaces percent-encoded and its query kept; a load that
// found nothing keeps that address too.
trace(_url);
createEmptyMovieClip("first", 1);
createEmptyMovieClip("second", 2);
first.loadMovie("no such movie.swf");
second.loadMovie("sub/other.swf?a=1&b=2");
var frame = 0;
onEnterFrame = function() {
    ++frame;
    if (frame == 1) {
        trace(first._url);
        trace(second._url);
        trace(unescape(first._url).split("/").pop());
    }
};
