// swf 8
// A function made inside a call keeps that call's locals after it returned, however many calls
// came and went since; a with block inside a call ends with it; a call given fewer or more
// arguments than its parameters reads undefined for the missing ones and ignores the rest.
function counter(start) {
    var count = start;
    return function() {
        count++;
        return count;
    };
}
function add(p, q) {
    return p + q;
}
var first = counter(10);
var total = 0;
for (var i = 0; i < 300; i++)
    total = add(total, i);
var second = counter(100);
trace(first() + " " + first() + " " + second() + " " + first() + " " + total);
function within(o) {
    with (o) {
        return add(x, 1);
    }
}
var x = "timeline";
trace(within({x: 4}) + " " + within({x: 40}) + " " + add(x, 1));
trace(add(1) + " " + add(1, 2, 3) + " " + add("a", "b", "c"));
function outer(a) {
    function inner(b) {
        return a + b + arguments.length;
    }
    return inner;
}
var keep = outer(1);
for (var j = 0; j < 10; j++)
    outer(j * 100)(0);
trace(keep(2) + " " + keep(3, 4));
