// swf 8
// text += a + b puts both pieces onto the text in one step: strings and numbers in either
// place, a piece that is the text itself, an empty text, a text that others still hold, and
// a text long enough to grow in place.
var t = "";
t += "a" + 1;
t += 2 + "b";
t += "c" + 0.5;
t += -3 + "d";
trace(t);
var kept = t;
t += t + "!";
trace(t);
trace(kept);
function build() {
    var s = "";
    var copies = [];
    for (var i = 0; i < 30; i++) {
        s += "x" + i;
        if (i == 10 || i == 29)
            copies.push(s);
    }
    var before = s;
    s += s + s;
    copies.push(before.length + " " + s.length + " " + s.slice(-4));
    return copies;
}
var made = build();
trace(made[0]);
trace(made[1].length + " " + made[1].slice(-6));
trace(made[2]);
