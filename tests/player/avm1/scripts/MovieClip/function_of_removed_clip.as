// swf 7
// A function defined on a clip that has since left the stage runs on the clip it is called
// on, or, called on a plain object, on the caller's clip.
createEmptyMovieClip("definer", 1);
createEmptyMovieClip("other", 2);
tellTarget ("definer") {
    _root.report = function () {
        trace(getProperty("", _target));
    };
}
report();
definer.removeMovieClip();
other.report = report;
other.report();
var plain = {report: report};
plain.report();
