// swf 8
// The operators on locals that a function keeps in registers, as loops use them: remainders
// of whole and fractional numbers with signed zeros, numbers beyond exact integers, NaN and the
// infinities; comparisons and equalities with NaN; increments of what is no number; conditions
// that are no booleans.
function sign(zero) {
    return 1 / zero > 0 ? "+0" : "-0";
}

function remainders() {
    var seven = 7;
    var three = 3;
    var zero = 0;
    var minusZero = -0;
    trace(seven % three);
    trace(-seven % three);
    trace(seven % -three);
    trace(-seven % -three);
    trace(sign(6 % three));
    trace(sign(-6 % three));
    trace(sign(6 % -three));
    trace(sign(minusZero % three));
    trace(sign(zero % -three));
    trace(seven % zero);
    trace(seven % minusZero);
    trace(5.5 % 2);
    trace(-5.5 % 2);
    trace(seven % 0.75);
    var big = 9007199254740991;
    trace(big % 10);
    trace(-big % 10);
    trace(big % 9007199254740990);
    var bigger = 1e20;
    trace(bigger % seven);
    trace(seven % bigger);
    trace(4294967297 % 4294967296);
    trace(-2147483649 % 2147483648);
    var infinity = 1 / zero;
    trace(infinity % seven);
    trace(seven % infinity);
    trace(-seven % -infinity);
    trace((zero / zero) % seven);
}

function comparisons() {
    var nan = 0 / 0;
    var one = 1;
    var minusZero = -0;
    var zero = 0;
    trace(nan < one);
    trace(one < nan);
    trace(nan > one);
    trace(one > nan);
    trace(nan <= one);
    trace(one >= nan);
    trace(one < 2);
    trace(one > 2);
    trace(minusZero < zero);
    trace(minusZero == zero);
    trace(minusZero === zero);
    trace(nan == nan);
    trace(nan === nan);
    trace(nan != one);
    trace(nan !== nan);
    trace(one == 1.0000000000000002);
}

function steps() {
    var text = "5";
    text++;
    trace(text + " " + typeof text);
    var nothing;
    nothing++;
    trace(nothing);
    var flag = true;
    flag--;
    trace(flag + " " + typeof flag);
    var count = 3;
    var rounds = 0;
    while (count) {
        count--;
        rounds++;
    }
    trace(rounds);
    var word = "0";
    if (word)
        trace("a string is true when it is not empty");
    if (!(0 / 0))
        trace("NaN is false");
    var parts = 0;
    for (var i = 10; i > -3; i -= 2.5)
        parts += i;
    trace(parts);
}

remainders();
comparisons();
steps();
