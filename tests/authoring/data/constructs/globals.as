// global functions that compile to actions of their own. The frame moves never return to frame
// 1: going to a frame runs its script again.
trace(int(7.9));
trace(typeof getTimer());
trace(random(1));
trace(eval("_currentframe"));
trace(this);
trace(targetPath(this));
trace(parseInt("0x8B5A2B"));
gotoAndStop(3);
trace(_currentframe);
var frame = 2;
gotoAndStop(frame);
trace(_currentframe);
nextFrame();
trace(_currentframe);
prevFrame();
trace(_currentframe);
fscommand("setsize", "512 x 256");
var argument = "two";
fscommand("additem", "Item&" + argument + "&colour");
stop();
