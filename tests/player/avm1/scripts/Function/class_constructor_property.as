// swf 7
// The built-in classes own a "constructor", the Function class, hidden from for..in, while
// Function.prototype leaves toString to Object.prototype.
trace(Number.hasOwnProperty("constructor"));
trace(Number.constructor === Function);
trace(String.hasOwnProperty("constructor"));
trace(Object.hasOwnProperty("constructor"));
trace(Object.constructor === Function);
trace(Function.hasOwnProperty("constructor"));
trace(Array.hasOwnProperty("constructor"));
var listed = "";
for (var k in Number) listed += k;
trace(listed == "");
trace(Function.prototype.hasOwnProperty("toString"));
trace(Number.__proto__.hasOwnProperty("valueOf"));
function f() {}
trace(f.toString());
trace(Number.toString());
