// declarations (hoisted), literals, recursion, arguments, closures, return without value
trace(hoisted(2));
function hoisted(n) { return n * 10; }
var square = function (x) { return x * x; };
trace(square(4));
function factorial(n) { return n <= 1 ? 1 : n * factorial(n - 1); }
trace(factorial(6));
function count() { return arguments.length; }
trace(count(1, 2, 3));
function makeCounter() {
    var value = 0;
    return function () { value++; return value; };
}
var counter = makeCounter();
counter();
trace(counter());
function nothing() { return; }
trace(nothing());
function localScope() { var hidden = 1; return hidden; }
localScope();
trace(typeof hidden);
function missingArgument(a, b) { return b; }
trace(missingArgument(1));
