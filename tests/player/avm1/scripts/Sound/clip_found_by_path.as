// swf 8
// A Sound object finds its clip by the clip's target path at each call: once the clip is
// renamed the settings go nowhere, unless something else now answers to that path.
var mc = createEmptyMovieClip("mc", 1);
var s1 = new Sound(mc);
s1.setVolume(50);
mc._name = "renamed";
s1.setVolume(10);
mc._name = "mc";
trace(s1.getVolume());

var second = createEmptyMovieClip("other", 2);
var s2 = new Sound(second);
s2.setVolume(40);
second._name = "renamed2";
s2.setVolume(20);
trace(s2.getVolume());
second._name = "other";
trace(s2.getVolume());
