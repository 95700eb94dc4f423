// swf 8 frames 2
// A message reaches the connection of that name (in any case) after the sending script, as a
// copy: dates, XML, arrays and objects arrive as such, clips as undefined, functions as plain
// objects. A closed connection hears nothing more.
var receiver = new LocalConnection();
trace(receiver.connect("Channel"));
trace(new LocalConnection().connect("channel"));
receiver.onMessage = function(date, xml, clip, fn, list, object) {
    trace("received " + date.getTime() + " " + xml.firstChild.nodeName + " " + clip + " " + typeof fn + " " + fn.tag + " " + (fn instanceof Function));
    trace(list.length + " " + list[1][0] + " " + (list === sentList) + " " + object.inner.value + " " + (object === sentObject));
    receiver.close();
    sender.send("channel", "onMessage");
};
var sentList = [1, [2]];
var sentObject = {inner: {value: "deep"}};
var fn = function() {};
fn.tag = "tagged";
var sender = new LocalConnection();
trace(sender.send("CHANNEL", "onMessage", new Date(1000), new XML("<top/>"), this, fn, sentList, sentObject));
sentObject.inner.value = "changed after sending";
trace("sent");
sender.send("nobody", "onMessage");
