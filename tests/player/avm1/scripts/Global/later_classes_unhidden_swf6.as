// swf 6
// The classes that came after SWF 6 are there for SWF 6 code, only hidden: clearing the version
// bits of flash shows the whole package, classes that need one another included.
trace(typeof flash);
ASSetPropFlags(_global, "flash", 0, 5248);
trace(typeof flash.geom.Transform);
trace(typeof flash.geom.Point);
trace(typeof flash.external.ExternalInterface);
