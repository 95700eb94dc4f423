// swf 7
// A clip named with NaN is called "0" from SWF 7 on, whether the name comes through the property
// or through setProperty; other numbers, Infinity included, are written as text.
attachMovie("empty", "clip", 1);
var zero = 0;
clip._name = zero / zero;
trace(_root["0"]._name);
trace(typeof _root["0"]);
setProperty(_root["0"], _name, 1);
trace(_root["1"]._name);
setProperty(_root["1"], _name, zero / zero);
trace(_root["0"]._name);
_root["0"]._name = 1 / zero;
trace(_root["Infinity"]._name);
_root["Infinity"]._name = 2.5;
trace(_root["2.5"]._name);
