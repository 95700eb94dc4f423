// swf 5
// Object's and Function's methods that came with Flash Player 6 are hidden from SWF 5 movies
// (though the object still owns them, and ASnative reaches them); the older ones stay.
var names = ["hasOwnProperty", "isPropertyEnumerable", "isPrototypeOf", "addProperty", "watch", "unwatch", "toString", "valueOf"];
var line = "";
for (var i = 0; i < names.length; i++) {
    line += names[i] + ":" + typeof Object.prototype[names[i]] + " ";
}
trace(line);
trace("call:" + typeof Function.prototype.call + " apply:" + typeof Function.prototype.apply);
function joined() { return this.join("+"); }
trace("[" + joined.apply([1, 2]) + "]");
Object.prototype.hasOwnProperty = ASnative(101, 5);
var o = {a: 1};
trace(o.hasOwnProperty("a") + " " + o.hasOwnProperty("b"));
