// swf 8
// Array.sort is a quicksort around the middle element, not a stable sort: elements that
// compare equal come out in the order the partitioning leaves them.
trace(["TeSt", "hello", "HELLO", "test"].sort(Array.CASEINSENSITIVE));
trace(["hello", "HELLO", "TeSt", "test"].sort(Array.CASEINSENSITIVE));
function byNumber(a, b) { return a.n - b.n; }
var items = [{n: 1, s: "a"}, {n: 1, s: "b"}, {n: 0, s: "c"}, {n: 1, s: "d"}, {n: 1, s: "e"}];
items.sort(byNumber);
var names = "";
for (var i = 0; i < items.length; i++) names += items[i].s;
trace(names);
trace([3, 1, 2].sort(Array.NUMERIC));
trace([5, 1, 4, 2, 3, 9, 0, 7, 8, 6].sort(Array.NUMERIC | Array.DESCENDING));
// An object that is no function, given as the compare function, leaves the array unsorted.
var plain = [3, 5, 1, 2, 1];
trace(plain.sort({}) == plain);
trace(plain);
// sortOn compares an element that is no object itself, and reads a String object's length.
trace(["test", "bar", "hello", "a"].sortOn("missing", Array.NUMERIC));
trace([new String("hello"), new String("a"), new String("four"), new String("bar")].sortOn("length", Array.NUMERIC));
