// swf 8
// A frame number wraps around as a 32-bit integer, for the goto action and for the clip methods
// alike: a number at or below 0 leads nowhere, one past the end to the last frame, and the
// smallest integer (one step below 1 wraps to the largest) to the last frame as well. Text that
// reads as a number is a frame number.
stop();
// Going back to frame 1 runs this script again.
if (ran == undefined) {
    ran = true;
    var frames = [2, 0, -5, 4294967297, 2147483648, -2147483648, "2", -2147483647, 4294967298, "3"];
    for (var i = 0; i < frames.length; ++i) {
        gotoAndStop(frames[i]);
        var afterAction = _currentframe;
        gotoAndStop(2);
        this.gotoAndStop(frames[i]);
        trace(frames[i] + ": " + afterAction + " " + _currentframe);
        gotoAndStop(2);
}
}
