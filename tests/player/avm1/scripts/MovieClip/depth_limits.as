// swf 8
// Scripts may put clips from depth -16384 up to 2130690044; attachMovie, duplicateMovieClip and
// swapDepths asked for a depth outside that range do nothing.
trace(attachMovie("empty", "lowest", -16384).getDepth());
trace(attachMovie("empty", "tooLow", -16385));
trace(typeof tooLow);
trace(attachMovie("empty", "highest", 2130690044).getDepth());
trace(attachMovie("empty", "tooHigh", 2130690045));
createEmptyMovieClip("original", 1);
duplicateMovieClip("original", "copyTooLow", -16385);
trace(typeof copyTooLow);
original.duplicateMovieClip("copyTooHigh", 2130690045);
trace(typeof copyTooHigh);
original.duplicateMovieClip("copyHighest", 2130690044);
trace(typeof copyHighest);
original.swapDepths(2130690045);
trace(original.getDepth());
original.swapDepths(-16385);
trace(original.getDepth());
original.swapDepths(-16384);
trace(original.getDepth());
