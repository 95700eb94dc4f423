// swf 6
// Names match without regard to case through Flash's own case table: letters it knows pair
// with their other case (Latin, Cyrillic, the DZ digraphs in all three forms), letters added to
// Unicode after it was made keep their case.
var holder = {};
holder["\u00C4bc"] = "a umlaut";
trace(holder["\u00E4BC"]);
holder["\u04E4"] = "cyrillic";
trace(holder["\u04E5"]);
holder["\u01F3\u01F2\u01F1"] = "digraphs";
trace(holder["\u01F3\u01F3\u01F3"]);
trace(holder["\u01F1\u01F1\u01F1"]);
holder["\u023A"] = "a stroke";
trace(holder["\u2C65"]);
trace(holder["\u023A"]);
holder["\u03F7"] = "sho";
trace(holder["\u03F8"]);
holder.Watched = 1;
holder.watch("watched", function (name, before, after) { trace("watch " + after); return after; });
holder.WATCHED = 2;
holder["\u2C65x"] = 0;
holder.watch("\u023AX", function (name, before, after) { trace("never " + name); return after; });
holder["\u2C65x"] = 3;
