// swf 5
// The name _global came with SWF 6: SWF 5 code reads nothing under it, even through a clip, and
// a variable of that name does not hide that.
trace(typeof _global);
trace(typeof this._global);
trace(_global.Math == undefined);
trace(typeof Math);
