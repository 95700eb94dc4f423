// swf 8 frames 4
// Going back to frame 1 (here when the timeline goes round) rebuilds the timeline's depths:
// clips that scripts put below depth 0 go with the timeline's own, those at 0 and above stay.
if (rounds == undefined) {
    rounds = 0;
    createEmptyMovieClip("below", -5);
    createEmptyMovieClip("atZero", 0);
    createEmptyMovieClip("above", 5);
}
rounds++;
if (rounds == 2) {
    trace(typeof below + " " + typeof atZero + " " + typeof above);
    stop();
}
