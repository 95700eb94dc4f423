// swf 5
// getDepth came with SWF 6: SWF 5 code finds no such method on clips or buttons, though it is
// there to be shown.
trace(typeof this.getDepth);
trace(typeof MovieClip.prototype.getDepth);
trace(typeof Button.prototype.getDepth);
ASSetPropFlags(MovieClip.prototype, "getDepth", 0, 128);
trace(typeof this.getDepth);
