// swf 8 frames 5
// FSCommand "quit" closes the stand-alone player: the frame that asked is the last one played.
var count = 0;
onEnterFrame = function () {
    count++;
    trace("frame " + count);
    if (count == 2)
        fscommand("QUIT");
};
