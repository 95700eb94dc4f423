// swf 6
// From SWF 6 on clips and buttons have getDepth; scripts cannot replace it.
trace(typeof this.getDepth);
trace(typeof Button.prototype.getDepth);
MovieClip.prototype.getDepth = 5;
trace(typeof this.getDepth);
