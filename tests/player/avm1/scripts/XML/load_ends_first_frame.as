// swf 8
// A movie's first frame ends like every other: a load its script started is handed over before
// the frame is done, here a file that is not there.
var doc = new XML();
doc.onLoad = function(success) { trace("loaded " + success); };
doc.load("no-such-file.xml");
trace("asked");
