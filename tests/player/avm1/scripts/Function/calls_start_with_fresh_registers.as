// swf 8
// Every call starts with its own registers undefined and its missing arguments undefined,
// whatever the call before left in the same places: texts, objects and numbers alike. Texts
// passed as arguments, stored in registers and returned stay whole in the caller.
function remember(kind) {
    var kept;
    if (kind == "text")
        kept = "text " + kind.length;
    else if (kind == "object")
        kept = {name: "object"};
    else if (kind == "number")
        kept = 42;
    return kept;
}
trace(remember("text"));
trace(remember("none"));
trace(remember("object").name);
trace(remember("none"));
trace(remember("number"));
trace(remember("none"));
function pair(a, b) {
    return a + "|" + b;
}
trace(pair("x"));
trace(pair("x", "y", "z"));
trace(pair());
var stem = "p";
var joined = [];
for (var i = 0; i < 3; i++) {
    var piece = pair(stem + i, stem + (i + 1));
    joined.push(piece);
    stem = piece;
}
trace(joined.join(" "));
trace(stem);
function echo(text) {
    return text;
}
var texts = [];
for (var j = 0; j < 4; j++)
    texts.push(echo("t" + j) + echo(j));
trace(texts.join(","));
function nothing() {
}
trace(nothing());
trace(typeof nothing());
