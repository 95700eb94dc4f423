// swf 8
// A clip's tabIndex is undefined until set and is not listed by for..in. null and undefined
// unset it; other values become signed 32-bit numbers, cut toward zero, with anything that is
// not a number or lies outside that range becoming -2147483648.
createEmptyMovieClip("clip", 1);
function listed() {
    for (var name in clip)
        if (name == "tabIndex")
            return "listed";
    return "not listed";
}
trace(clip.tabIndex + " " + listed());
var values = [4, -4, 1.9, -1.9, 2147483647, 2147483648, -2147483649, "12", "x", {}, true, null, 7, undefined];
for (var i = 0; i < values.length; i++) {
    clip.tabIndex = values[i];
    trace(clip.tabIndex + " " + listed());
}
