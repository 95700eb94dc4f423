// swf 8
// __proto__ holds whatever it is given: new takes the constructor's prototype as it is, a
// boolean or a string too, and so does an assignment. Only an object is searched for members;
// the value never shows up in for..in, an object put back there is searched again, and a
// variable lookup through with finds the value there.
function Made() {}
Made.prototype = true;
var made = new Made();
trace(typeof made.__proto__ + " " + made.__proto__ + " " + made.toString);
Made.prototype = "text";
trace(typeof new Made().__proto__);
var plain = {a: 1};
plain.__proto__ = 5;
trace(typeof plain.__proto__ + " " + plain.__proto__ + " " + plain.hasOwnProperty);
var names = [];
for (var name in plain)
    names.push(name);
trace(names.join(","));
plain.__proto__ = Object.prototype;
trace(typeof plain.__proto__ + " " + (typeof plain.hasOwnProperty));
plain.__proto__ = false;
with (plain) {
    trace(typeof __proto__);
}
