// swf 8
// Comparisons of numbers decide loops and ifs as they decide values: NaN compares as neither
// less nor greater, and a negated comparison that no branch follows keeps its boolean.
var n = 0 / 0;
var out = [];
for (var i = 0; i < 3; i++)
    out.push(i);
trace(out.join(","));
if (n < 1)
    trace("NaN less");
else
    trace("NaN not less");
if (!(n < 1))
    trace("not NaN less");
var k = 5;
while (!(k <= 2))
    k--;
trace(k);
var b = !(3 < 4);
trace(b);
var c = (3 == 3);
trace(c);
var d = 0;
do {
    d++;
} while (d != 4);
trace(d);
function f(x) {
    var m = 0;
    while (m < x)
        m += 2;
    return m;
}
trace(f(5) + " " + f(0 / 0));
var s = 0;
for (var j = 10; j > 0; j -= 3)
    s += j;
trace(s);
trace(1 === 1 ? "same" : "other");
