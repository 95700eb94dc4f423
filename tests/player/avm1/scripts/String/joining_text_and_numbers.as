// swf 8
// Text joined with numbers by +: whole numbers of either sign and at the edges of 32 bits,
// negative zero, fractions, exponents, NaN and the infinities, on either side, with empty text;
// and text built a piece at a time, where a string taken on the way keeps its own length.
function joins() {
    var label = "ab";
    var empty = "";
    var numbers = [0, -0, 7, -7, 2147483647, -2147483648, 2147483648, -2147483649, 0.5, -0.25,
                   1e15, 123456789012, 1e21, 1e-7, 0 / 0, 1 / 0, -1 / 0];
    for (var i = 0; i < numbers.length; i++) {
        var n = numbers[i];
        trace(label + n);
        trace(n + label);
    }
    trace(empty + 12);
    trace(12 + empty);
    trace(typeof (empty + 12));
    trace((empty + -0).length);
    trace(empty + empty + 3);
}

function building() {
    var text = "";
    var snapshots = [];
    for (var m = 0; m < 40; m++) {
        text += "ab" + m;
        if (m % 13 == 0)
            snapshots.push(text);
    }
    trace(text.length);
    trace(text.substr(text.length - 8));
    for (var s = 0; s < snapshots.length; s++)
        trace(snapshots[s].length + " " + snapshots[s].substr(snapshots[s].length - 4));
    var other = snapshots[1] + "|" + m;
    trace(other.length + " " + other.substr(other.length - 6));
    trace(text.length);
    var line = "";
    for (var k = -3; k <= 3; k++)
        line = line + k + ",";
    trace(line);
}

joins();
building();

// A sum added to text: only text joined to text or a number is joined piece by piece.
function nested() {
    var text = "x";
    var one = 1;
    var two = 2;
    var word = "a";
    var empty = "";
    trace(text + (one + two));
    trace(text + (one + word));
    trace(text + (word + one));
    trace(text + (word + word));
    trace(one + (word + two));
    trace(empty + (empty + one));
    trace(text + (empty + empty));
    var holder = {toString: function() { return "T"; }};
    trace(holder + (word + one));
    trace(text + (holder + word));
    var line = "";
    for (var k = 0; k < 30; k++) {
        line += "," + k;
        line += k + ";";
    }
    trace(line.length + " " + line.substr(0, 12) + " " + line.substr(line.length - 12));
    var kept = line;
    line += "+" + one;
    trace(kept.length + " " + line.length + " " + line.substr(line.length - 4));
}

nested();
