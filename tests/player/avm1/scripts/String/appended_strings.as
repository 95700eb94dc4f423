// swf 8
// Strings built a piece at a time: each result is a string of its own, whatever the player
// shares behind the scenes. A prefix joined onto twice gives two independent strings, and an
// older string keeps its text when the newer one grows.
var prefix = "";
for (var i = 0; i < 40; i++) {
    prefix += "x" + i;
}
trace(prefix.length);
var first = prefix + "-first";
var second = prefix + "-second";
trace(first.substr(-6) + " " + second.substr(-7));
trace(first.length + " " + second.length + " " + prefix.length);
var grown = first;
grown += "!";
grown += "?";
trace(first.substr(-6) + " " + grown.substr(-8) + " " + (first == grown));
// Operations on appended strings: comparison, characters, searches, numbers and names.
var again = "";
for (var j = 0; j < 40; j++) {
    again += "x" + j;
}
trace(again == prefix);
trace(again.charAt(again.length - 1) + again.charAt(0) + " " + again.indexOf("x39") + " " + again.lastIndexOf("x1"));
var holder = {};
holder[prefix] = "found";
trace(holder[again]);
var count = 0;
for (var name in holder) {
    count += name.length;
}
trace(count);
var digits = "";
for (var k = 0; k < 70; k++) {
    digits += k % 10;
}
trace(digits.length + " " + (digits.substr(60) * 1 + 1));
// A string joined onto itself, and strings joined from two sides of one prefix.
var twice = prefix + prefix;
trace(twice.length + " " + (twice.substr(0, prefix.length) == prefix));
var left = prefix;
var right = prefix;
left += "L";
right += "R";
left += "L";
trace(left.substr(-3) + " " + right.substr(-3) + " " + left.length + " " + right.length);
var chars = prefix.split("");
trace(chars.length + " " + chars[chars.length - 1]);
