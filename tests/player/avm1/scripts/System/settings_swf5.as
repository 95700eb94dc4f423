// swf 5
// System.exactSettings arrived with SWF 6.
trace(typeof System.exactSettings);
trace(typeof $version);
