// swf 5
// Before SWF 6 there is no _global on clips; level names ignore case.
trace(typeof _root._global);
trace(_root._LEVEL0 == _root);
