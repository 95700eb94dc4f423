// logical operators: values, short-circuit, conditional operator
var calls = 0;
function touch(value) { calls++; return value; }
trace(true && "yes");
trace(0 && touch(1));
trace("" || "fallback");
trace("first" || touch(2));
trace(calls);
trace(!0);
trace(!"x");
trace(calls > 0 ? "called" : "not called");
var n = 5;
trace(n > 3 ? (n > 4 ? "big" : "medium") : "small");
