// swf 8 frames 2
// The timers run at the end of each frame for the time until the next one (83 ms here): an
// interval shorter than the frame runs several times, and what a call queued (a clip's onLoad)
// runs before the next call.
function Probe() {}
Probe.prototype = new MovieClip();
Probe.prototype.onLoad = function() { trace("onLoad " + this._name); };
Object.registerClass("empty", Probe);
var n = 0;
var id = setInterval(function() {
    n++;
    trace("tick " + n);
    if (n == 1)
        attachMovie("empty", "probe", 1);
    if (n == 5)
        clearInterval(id);
}, 20);
setTimeout(function() { trace("timeout"); }, 50);
onEnterFrame = function() { trace("frame 2, ticks " + n); };
trace("frame 1 ends");
