// swf 7
// A String object's length is its own hidden property: scripts may write another value there,
// which stays hidden from for..in and cannot be deleted.
var text = new String("blah");
trace(text.length);
trace(text.hasOwnProperty("length"));
delete text.length;
trace(text.length);
text.length = "hmm";
trace(text.length);
var keys = [];
for (var k in text)
    keys.push(k);
trace(keys.length);
trace(delete text.length);
trace(text.length);
trace(text.toString());
trace("abc".length);
