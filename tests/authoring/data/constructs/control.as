// if/else, while, do-while, for, break and continue
function sign(n) {
    if (n < 0) {
        return "negative";
    } else if (n == 0) {
        return "zero";
    } else {
        return "positive";
    }
}
trace(sign(-2) + " " + sign(0) + " " + sign(3));
var i = 0;
var text = "";
while (i < 10) {
    i++;
    if (i % 2 == 0) continue;
    if (i > 7) break;
    text += i;
}
trace(text);
var j = 10;
do { j--; } while (j > 5);
trace(j);
do { j = 100; } while (false);
trace(j);
var sum = 0;
for (var k = 0; k < 5; k++) {
    if (k == 1) continue;
    sum += k;
}
trace(sum);
var count = 0;
for (;;) {
    if (++count == 3) break;
}
trace(count);
if (count == 3) trace("one line if");
