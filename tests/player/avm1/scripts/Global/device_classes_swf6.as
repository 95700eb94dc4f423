// swf 6
// The classes of devices the player lacks exist and say nothing is there; TextField.StyleSheet
// and the flash package come later (SWF 7 and 8).
trace(typeof Camera + " " + typeof Camera.prototype + " " + Camera.get());
trace(typeof Microphone + " " + Microphone.get() + " " + Microphone.names.length);
trace(typeof Video + " " + typeof NetConnection + " " + typeof NetStream + " " + typeof XMLSocket);
trace(typeof PrintJob + " " + typeof TextSnapshot);
trace(typeof Accessibility + " " + Accessibility.isActive());
trace(typeof System.IME + " " + System.IME.getEnabled());
trace(typeof TextField.StyleSheet);
trace(typeof flash);
