// swf 8
// new on a class whose prototype descends from Array or Date makes an array or a date, and the
// superclass constructor reached through super() fills that object in place and returns it.
function List() { trace("super gives this: " + (super("x", "y") == this)); }
List.prototype.__proto__ = Array.prototype;
List.prototype.__constructor__ = Array;
var list = new List();
trace(list.length + " " + list + " " + (list instanceof List) + " " + (list instanceof Array));
list.push("z");
trace(list.length + " " + list[2] + " " + list.join("-"));
list.length = 1;
trace(list);
function Sized(n) { super(n); }
Sized.prototype.__proto__ = Array.prototype;
Sized.prototype.__constructor__ = Array;
trace(new Sized(4).length);
function Moment(t) { super(t); }
Moment.prototype.__proto__ = Date.prototype;
Moment.prototype.__constructor__ = Date;
var moment = new Moment(86400000);
trace(moment.getTime() + " " + moment.getUTCDate() + " " + (moment instanceof Date));
moment.setTime(5);
trace(moment.valueOf());
