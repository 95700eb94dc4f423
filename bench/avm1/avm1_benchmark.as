// Times the virtual machine with getTimer() and traces the milliseconds of each part.
// Each part runs in a frame of its own, so that no single frame comes near a player's script
// time limit, even on a slow player. The short parts run several rounds, so that the clock's
// whole milliseconds do not swamp a fast player's figure.
// Build: skrv-build --script avm1_benchmark.as -o avm1_benchmark.swf
// Run:   skrv-play --real-clock --frames 7 --trace out.txt avm1_benchmark.swf
stop();
var times = [];
var part = 0;

function arithmetic() {
    var total = 0;
    for (var i = 0; i < 30000; i++) {
        total = total + (i * 3) % 7 - i / 5;
    }
    return total;
}

function properties() {
    var point = {x: 1, y: 2};
    for (var j = 0; j < 20000; j++) {
        point.x = point.y + j;
        point.y = point.x - 1;
    }
    return point.y;
}

function add(a, b) {
    return a + b;
}

function calls() {
    var sum = 0;
    for (var k = 0; k < 10000; k++) {
        sum = add(sum, k);
    }
    return sum;
}

function strings() {
    var text = "";
    for (var m = 0; m < 5000; m++) {
        text += "ab" + m;
    }
    return text.length;
}

function sorting() {
    var list = [];
    for (var n = 0; n < 2000; n++) {
        list.push((n * 7919) % 10007);
    }
    list.sort(Array.NUMERIC);
    list.sort(function(p, q) { return q - p; });
    return list[0];
}

var names = ["arithmetic", "properties", "calls", "strings", "sorting"];
var parts = [arithmetic, properties, calls, strings, sorting];
var rounds = [10, 10, 10, 10, 1];

this.onEnterFrame = function() {
    if (part < parts.length) {
        var start = getTimer();
        for (var r = 0; r < rounds[part]; r++) {
            parts[part]();
        }
        var elapsed = getTimer() - start;
        times.push(elapsed);
        trace(names[part] + " " + elapsed);
        part++;
    } else if (part == parts.length) {
        var total = 0;
        for (var t = 0; t < times.length; t++) {
            total += times[t];
        }
        trace("total " + total);
        part++;
    }
};
