// swf 6
// From SWF 6 _global names the global object, by name and through a clip.
trace(typeof _global);
trace(this._global == _global);
trace(_global.Math == Math);
