// swf 8
// A function called by name in a loop is the one the name holds at that call: a getter put in
// its place runs, a local defined later hides the timeline's, a function deleted and made again
// is found in its new place, one the timeline gains hides the global one, and a with block's
// object that gains the name wins.
function who() {
    return "timeline";
}
var results = [];
for (var i = 0; i < 3; i++) {
    results.push(who());
    if (i == 1)
        _root.addProperty("who", function() { return function() { return "getter"; }; }, null);
}
trace(results.join(","));
function shadowed() {
    return "timeline";
}
function caller() {
    var seen = [];
    for (var j = 0; j < 3; j++) {
        seen.push(shadowed());
        if (j == 1) {
            var shadowed = function() { return "local"; };
        }
    }
    return seen.join(",");
}
trace(caller());
function again() {
    return "first";
}
results = [];
for (var k = 0; k < 3; k++) {
    results.push(again());
    if (k == 0) {
        delete again;
        var filler = 1;
        again = function() { return "second"; };
    }
}
trace(results.join(","));
_global.everywhere = function() { return "global"; };
results = [];
for (var m = 0; m < 3; m++) {
    results.push(everywhere());
    if (m == 0)
        _root.everywhere = function() { return "root"; };
}
trace(results.join(","));
var scope = {};
results = [];
with (scope) {
    for (var n = 0; n < 3; n++) {
        results.push(again());
        if (n == 0)
            scope.again = function() { return "with"; };
    }
}
trace(results.join(","));
