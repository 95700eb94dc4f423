// swf 8
// addProperty wants a getter function and a setter: null makes the property read-only, while a
// missing or primitive setter is refused and the property stays as it was.
var o = {_v: 5};
function getV() { return this._v * 2; }
function setV(value) { this._v = value; }
trace(o.addProperty("v", getV));
trace(o.v);
trace(o.addProperty("v", getV, undefined));
trace(o.addProperty("v", getV, 3));
trace(o.v);
trace(o.addProperty("v", getV, null));
o.v = 100;
trace(o.v);
trace(o.addProperty("v", getV, setV));
o.v = 100;
trace(o.v);
trace(o.addProperty("w"));
trace(o.addProperty("", getV, null));
