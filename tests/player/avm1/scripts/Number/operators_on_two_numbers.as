// swf 8
// The arithmetic actions on two numbers, and on a number with another type: a string makes
// Add2 join text, other operands are converted first.
trace(1 + 2);
trace(0.1 + 0.2);
trace("1" + 2);
trace(1 + "2");
trace(true + 1);
trace(7 % 3);
trace(-7 % 3);
trace(7.5 % 2);
trace(5 / 0);
trace(-5 / 0);
trace(0 / 0);
trace(3 - 10);
trace(6 * -0.5);
trace(1 - "x");
trace((0 / 0) + 1);
var a = 9;
var b = 4;
trace(a / b + a * b - a % b);
trace(a < b);
trace(a > b);
trace((a & b) + " " + (a | b) + " " + (a ^ b) + " " + (a << b));
var total = 0;
for (var i = 0; i < 10; i++)
    total = total + (i * 3) % 7 - i / 5;
trace(total);
