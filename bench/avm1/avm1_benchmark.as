// Times the virtual machine with getTimer() and traces the milliseconds of each part.
// Build: skrv-build --script avm1_benchmark.as -o avm1_benchmark.swf
// Run:   skrv-play --real-clock --frames 1 --trace out.txt avm1_benchmark.swf
var start = getTimer();
var total = 0;
for (var i = 0; i < 30000; i++) {
    total = total + (i * 3) % 7 - i / 5;
}
var arithmetic = getTimer() - start;

start = getTimer();
var point = {x: 1, y: 2};
for (var j = 0; j < 2000; j++) {
    point.x = point.y + j;
    point.y = point.x - 1;
}
var properties = getTimer() - start;

function add(a, b) {
    return a + b;
}
start = getTimer();
var sum = 0;
for (var k = 0; k < 10000; k++) {
    sum = add(sum, k);
}
var calls = getTimer() - start;

start = getTimer();
var text = "";
for (var m = 0; m < 2000; m++) {
    text += "ab" + m;
}
var strings = getTimer() - start;

start = getTimer();
var list = [];
for (var n = 0; n < 2000; n++) {
    list.push((n * 7919) % 10007);
}
list.sort(Array.NUMERIC);
list.sort(function(p, q) { return q - p; });
var sorting = getTimer() - start;

trace("arithmetic " + arithmetic);
trace("properties " + properties);
trace("calls " + calls);
trace("strings " + strings);
trace("sorting " + sorting);
trace("total " + (arithmetic + properties + calls + strings + sorting));
