// swf 5
// SWF 5 movies see the methods' names but read them as undefined; what they assign is kept.
var s = new TextSnapshot(this);
var names = 0;
for (var name in s)
    ++names;
trace(names + " " + typeof s.getCount + " " + typeof TextSnapshot.prototype.findText);
s.getCount = "own";
trace(s.getCount);
delete s.getCount;
trace(typeof s.getCount);
