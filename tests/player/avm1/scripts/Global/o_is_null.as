// swf 8
// The player's own start-up leaves a global named "o" behind, set to null.
trace(o);
trace(typeof o);
trace(_global.o === null);
trace(p);
var seen = false;
for (var name in _global) {
    if (name == "o")
        seen = true;
}
trace(seen);
o = 5;
trace(o);
trace(_global.o === null);
