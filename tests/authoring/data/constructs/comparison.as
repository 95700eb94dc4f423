// comparison operators on numbers and strings
trace(1 < 2);
trace(2 < 1);
trace(2 > 1);
trace(2 <= 2);
trace(3 >= 4);
trace(1 == 1);
trace("1" == 1);
trace("1" === 1);
trace(1 !== 1);
trace(1 != 2);
trace("abc" < "abd");
trace(null == undefined);
trace(null === undefined);
var nothing;
trace(nothing == undefined);
