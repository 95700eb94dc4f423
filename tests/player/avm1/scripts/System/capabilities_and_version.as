// swf 6
// The capabilities of a player with no streams, printer, encoders, screen reader, input method
// or secure sockets; the first level holds the version as $version; allowDomain succeeds when a
// domain is named; System.Product exists.
trace(System.capabilities.hasPrinting + " " + System.capabilities.hasStreamingVideo + " " + System.capabilities.hasTLS);
trace(typeof System.capabilities.hasIME + " " + System.capabilities.windowlessDisable);
trace(_root.hasOwnProperty("$version") + " " + ($version == System.capabilities.version));
trace(MovieClip.prototype.hasOwnProperty("$version"));
trace(System.security.allowDomain("example.org") + " " + System.security.allowDomain(undefined) + " " + System.security.allowDomain());
trace(typeof System.Product + " " + typeof new System.Product("name").launch);
trace(typeof System.exactSettings);
