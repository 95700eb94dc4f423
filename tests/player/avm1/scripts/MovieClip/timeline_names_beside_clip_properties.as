// swf 8 clip each
// A timeline finds its own variables and functions by name besides the clip properties, which
// win over a variable of their name; a named child comes after a variable of its name.
var eager = "slot";
function _helper() {
    return "helper";
}
function caller() {
    return _helper() + " " + eager;
}
trace(eager + " " + _helper() + " " + this._helper() + " " + caller());
_x = 5;
this._y = 6;
trace(_x + " " + _y + " " + this._x);
trace(typeof each);
var each = 3;
trace(each + " " + this.each);
delete each;
trace(typeof each);
var enabled = "kept";
trace(enabled);
