// swf 8
// Text built with += on a local kept in a register: the pieces may be registers, constants,
// the text itself, numbers that add up before they join, and values that convert on the way
// (undefined, an object with toString, fractions, negative zero). A text taken before it grows
// keeps its own, and a register holding a number joins or adds by the usual rule.
function build() {
    var text = "<";
    var n = 3;
    var word = "ab";
    var nothing;
    var holder = {toString: function() { return "H"; }};
    text += word + n;
    text += "c" + 4;
    text += 1 + 2;
    text += n + n;
    text += text + "|";
    trace(text);
    text += nothing + "u";
    text += holder + "!";
    text += 0.5 + "f";
    text += -0 + "z";
    text += word;
    text += n;
    trace(text);
    var kept = text;
    text += "more";
    text += "+" + word;
    trace(kept + " / " + text);
    var count = 10;
    count += "a" + 1;
    trace(count + " " + typeof count);
    var sum = 1;
    sum += 2 + 3;
    trace(sum + " " + typeof sum);
    var none;
    none += "x" + 1;
    trace(none);
}
build();
