// swf 7
// call and apply without a "this" (none, undefined or null) run the function on the global
// object; any other value is the function's "this".
function whoIsThis() { return this === _global ? "global" : typeof this; }
trace(whoIsThis.call());
trace(whoIsThis.call(undefined));
trace(whoIsThis.apply(null));
trace(whoIsThis.apply(undefined, [1, 2]));
trace(whoIsThis.call({}));
trace(whoIsThis.call(_root));
function sum(a, b) { return this.base + a + b; }
_global.base = 100;
trace(sum.apply(null, [1, 2]));
trace(sum.call({base: 10}, 1, 2));
