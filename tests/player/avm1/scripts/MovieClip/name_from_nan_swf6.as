// swf 6
// Before SWF 7 a clip named with NaN is called "NaN", as the number reads as text.
attachMovie("empty", "clip", 1);
var zero = 0;
clip._name = zero / zero;
trace(_root["NaN"]._name);
trace(typeof _root["NaN"]);
setProperty(_root["NaN"], _name, zero / zero);
trace(_root["NaN"]._name);
