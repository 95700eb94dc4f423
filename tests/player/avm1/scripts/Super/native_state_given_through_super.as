// swf 8 frames 2
// A built-in class whose objects carry state of their own gives that state, through super(),
// to an object new made plain whose prototype a method then pointed at the class: the class's
// methods and properties work on it as on one of its own, and keep working after the frame.
function Host() {}
Host.prototype.become = function(cls) {
    this.__proto__ = {__proto__: cls.prototype, __constructor__: cls};
};
Host.prototype.withOne = function(cls, a) { this.become(cls); return super(a); };
Host.prototype.withTwo = function(cls, a, b) { this.become(cls); return super(a, b); };
Host.prototype.withNone = function(cls) { this.become(cls); return super(); };

var flag = new Host();
trace(flag.withOne(Boolean, true) + " " + flag + " " + (flag instanceof Boolean));
var amount = new Host();
trace(amount.withOne(Number, 12.5) + " " + (amount + 1));
var text = new Host();
trace(text.withOne(String, "hello") + " " + text.length + " " + text.toUpperCase() + " " + text.charAt(1));
var moment = new Host();
moment.withOne(Date, 123456);
trace(moment.getTime() + " " + moment.getUTCSeconds());
moment.setTime(5000);
trace(moment.getTime());
var blur = new Host();
blur.withTwo(flash.filters.BlurFilter, 10, 20);
trace(blur.blurX + " " + blur.blurY);
blur.blurX = 7;
trace(blur.blurX + " " + blur.clone().blurX);
var bitmap = new Host();
bitmap.withTwo(flash.display.BitmapData, 20, 30);
trace(bitmap.width + " " + bitmap.height);
var node = new Host();
trace(node.withTwo(XMLNode, 1, "node") + " " + node.nodeType + " " + node.nodeName);
var document = new Host();
trace(document.withOne(XML, "<a><b/></a>") + " " + document.status + " " + document.firstChild.firstChild.nodeName);
var format = new Host();
format.withTwo(TextFormat, "Arial", 12);
trace(format.font + " " + format.size);
var connection = new Host();
trace(connection.withNone(NetConnection) + " " + connection.isConnected);
var plain = {};
trace(plain.isConnected + " " + new NetConnection().isConnected);

onEnterFrame = function() {
    delete onEnterFrame;
    trace(flag + " " + text.toUpperCase() + " " + moment.getTime() + " " + blur.blurY + " " + bitmap.width + " " + node.nodeName);
};
