#include "ScriptRunner.h"

#include "player/avm1/builtins/Declaration.h"

#include <QRegularExpression>
#include <QTest>

using namespace player::avm1;
using namespace player::avm1::builtins;

namespace {

Value answer(Machine&, Object*, const Arguments&)
{
    return Value(42.0);
}

Value other(Machine&, Object*, const Arguments&)
{
    return Value(QStringLiteral("other"));
}

// A getter that reads back what the setter stored on the receiver under another name.
Value readStored(Machine& machine, Object* self, const Arguments&)
{
    return self ? self->get(machine, QStringLiteral("stored")) : Value();
}

Value writeStored(Machine& machine, Object* self, const Arguments& arguments)
{
    if (self)
        self->set(machine, QStringLiteral("stored"), arguments.empty() ? Value() : arguments[0]);
    return Value();
}

constexpr int probeTable = 9100;

constexpr Declaration probeDeclarations[] = {
    method("always", answer, 0),
    method("fromSix", answer, 0).from(6),
    method("fromSeven", other, 0).from(7),
    method("fromEight", answer, 0).from(8),
    method("permanent", answer),
    method("deletable", answer, attributes::hidden),
    number("fixed", 3.5),
    number("plain", 7, 0),
    method("numbered", answer).native(probeTable, 0),
    method("renumbered", other).native(probeTable, 1),
    accessor("value", readStored, writeStored).native(probeTable, 2),
    method("readable", answer, attributes::hidden).readableFrom(6).native(probeTable, 4),
};

// An object's own properties in their order, each with its kind (a function value, an accessor
// with or without setter, or another value's type) and attribute bits, version bits included.
QString fingerprint(Machine& machine, Object* object)
{
    QStringList parts;
    for (const Property& property : object->ownProperties()) {
        QString kind;
        if (property.isVirtual())
            kind = property.setter ? "gs" : "g";
        else if (property.value.isObject() && property.value.asObject()->kind() == ObjectKind::Function)
            kind = "f";
        else
            kind = machine.typeOf(property.value);
        parts.append(QString("%1:%2:%3").arg(property.name, kind).arg(property.flags, 0, 16));
    }
    return parts.join(' ');
}

// Follows a dotted path of own properties from the global object, hidden ones included.
Object* objectAt(Machine& machine, const QString& path)
{
    Object* object = machine.global();
    for (const QString& part : path.split('.')) {
        const Property* property = object ? object->findOwn(part, true) : nullptr;
        object = property && !property->isVirtual() ? property->value.asObject() : nullptr;
    }
    return object;
}

// Keys listed by for..in, sorted so that the test does not depend on the listing order.
const char* keys = "function keys(o) { var a = []; for (var k in o) a.push(k); a.sort(); return a.join(','); }";

} // namespace

// The shared installer of built-in classes: a row's version, attributes and native number each
// reach the installed property, for a made-up table and for converted classes.
class TestDeclarations : public QObject {
    Q_OBJECT

private slots:
    void probe_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("expected"); // traced lines joined by '|'

        QTest::newRow("a newer row is hidden yet owned and listed in SWF 5") << 5
            << QString(keys) + "trace(typeof probe.always + ' ' + typeof probe.fromSix + ' ' + typeof probe.fromSeven + ' ' + typeof probe.fromEight);"
                               "Object.prototype.hasOwnProperty = ASnative(101, 5); ASSetPropFlags(Object.prototype, 'hasOwnProperty', 1);"
                               "trace(probe.hasOwnProperty('fromSix') + ' ' + probe.hasOwnProperty('fromEight')); trace(keys(probe));"
            << "function undefined undefined undefined|true true|always,fromEight,fromSeven,fromSix,plain";
        QTest::newRow("SWF 6 sees the rows of 6, not those of 7") << 6
            << QString("trace(probe.fromSix() + ' ' + typeof probe.fromSeven + ' ' + typeof probe.fromEight);")
            << "42 undefined undefined";
        QTest::newRow("SWF 7 sees the rows of 7, not those of 8") << 7
            << QString("trace(probe.fromSeven() + ' ' + typeof probe.fromEight);")
            << "other undefined";
        QTest::newRow("SWF 8 sees them all") << 8
            << QString("trace(probe.fromSix() + ' ' + probe.fromSeven() + ' ' + probe.fromEight());")
            << "42 other 42";
        QTest::newRow("methods are hidden, permanent only where asked, and writable") << 8
            << QString("probe.permanent = 1; trace(probe.permanent); trace(delete probe.permanent); trace(probe.permanent);"
                       "trace(delete probe.deletable); trace(typeof probe.deletable);")
            << "1|false|1|true|undefined";
        QTest::newRow("constants keep their number; a plain one is listed and writable") << 8
            << QString(keys) + "probe.fixed = 1; trace(probe.fixed); trace(delete probe.fixed); probe.plain = 8; trace(probe.plain);"
                               "trace(keys(probe)); trace(delete probe.plain);"
            << "3.5|false|8|always,fromEight,fromSeven,fromSix,plain|true";
        QTest::newRow("ASnative answers a numbered row with its own function, even once replaced") << 8
            << QString("var first = probe.numbered; probe.numbered = null; trace(ASnative(9100, 0) === first);"
                       "trace(ASnative(9100, 0)() + ' ' + ASnative(9100, 1)()); trace(ASnative(9100, 5));")
            << "true|42 other|undefined";
        QTest::newRow("an accessor row gives its getter and setter and numbers both") << 8
            << QString("probe.value = 'kept'; trace(probe.value + ' ' + probe.stored);"
                       "var o = {}; ASSetNativeAccessor(o, 9100, 'v', 2); o.v = 5; trace(o.v + ' ' + o.stored);")
            << "kept kept|5 5";
        QTest::newRow("a method readable from SWF 6 is there in SWF 5 but reads undefined until assigned") << 5
            << QString("Object.prototype.hasOwnProperty = ASnative(101, 5);"
                       "trace(typeof probe.readable + ' ' + probe.hasOwnProperty('readable'));"
                       "probe.readable = 'mine'; trace(probe.readable); trace(ASnative(9100, 4)());")
            << "undefined true|mine|42";
        QTest::newRow("SWF 6 reads a method readable from SWF 6") << 6
            << QString("trace(probe.readable() + ' ' + (probe.readable === ASnative(9100, 4)));")
            << "42 true";
    }
    void probe()
    {
        QFETCH(int, version);
        QFETCH(QString, source);
        QFETCH(QString, expected);
        ScriptRunner runner(version);
        Machine& machine = runner.machine();
        // The probe goes on the globals that code of the version sees.
        machine.setSwfVersion(version);
        Object* probe = machine.makeObject();
        machine.global()->define(QStringLiteral("probe"), Value(probe));
        installDeclarations(machine, probe, probeDeclarations);
        QCOMPARE(runner.run(source).join('|'), expected);
    }

    // A converted class whose methods came with a later version: hidden from older movies, but
    // still owned by the prototype.
    void convertedVersions_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("expected");

        QTest::newRow("SWF 6") << 6 << "undefined undefined undefined|true true true";
        QTest::newRow("SWF 7") << 7 << "function function function|true true true";
    }
    void convertedVersions()
    {
        QFETCH(int, version);
        QFETCH(QString, expected);
        ScriptRunner runner(version);
        const QString source = "var m = ContextMenu.prototype; var i = ContextMenuItem.prototype;"
                               "trace(typeof m.copy + ' ' + typeof m.hideBuiltInItems + ' ' + typeof i.copy);"
                               "trace(m.hasOwnProperty('copy') + ' ' + m.hasOwnProperty('hideBuiltInItems') + ' ' + i.hasOwnProperty('copy'));";
        QCOMPARE(runner.run(source).join('|'), expected);
    }

    // Each converted object keeps every property it had, in the same order, with the same kind,
    // attributes and first version.
    void convertedShapes_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Sound.prototype") << "Sound.prototype"
            << "getVolume:f:7 setVolume:f:7 getPan:f:7 setPan:f:7 getTransform:f:7 setTransform:f:7 "
            "attachSound:f:7 start:f:7 stop:f:7 loadSound:f:87 setDuration:f:87 setPosition:f:87 "
            "getDuration:f:87 getPosition:f:87 id3:f:7 getBytesLoaded:f:87 getBytesTotal:f:87 duration:g:7 "
            "position:g:7 checkPolicyFile:boolean:1 constructor:f:1";
        QTest::newRow("Stage") << "Stage"
            << "addListener:f:1 removeListener:f:1 broadcastMessage:f:1 _listeners:object:1 width:g:3 "
            "height:g:3 align:gs:3 scaleMode:gs:3 displayState:gs:3 showMenu:boolean:1";
        QTest::newRow("flash.geom.Transform.prototype") << "flash.geom.Transform.prototype"
            << "constructor:f:1 matrix:gs:3 colorTransform:gs:3 concatenatedMatrix:g:3 "
            "concatenatedColorTransform:g:3 pixelBounds:g:3";
        QTest::newRow("flash.geom.ColorTransform.prototype") << "flash.geom.ColorTransform.prototype"
            << "constructor:f:1 toString:f:3 concat:f:3 rgb:gs:1";
        QTest::newRow("flash.geom.Matrix.prototype") << "flash.geom.Matrix.prototype"
            << "constructor:f:1 toString:f:3 clone:f:3 identity:f:3 concat:f:3 invert:f:3 rotate:f:3 "
            "scale:f:3 translate:f:3 createBox:f:3 createGradientBox:f:3 transformPoint:f:3 "
            "deltaTransformPoint:f:3";
        QTest::newRow("MovieClipLoader.prototype") << "MovieClipLoader.prototype"
            << "constructor:f:1 loadClip:f:3 unloadClip:f:3 getProgress:f:3";
        QTest::newRow("LocalConnection.prototype") << "LocalConnection.prototype"
            << "constructor:f:1 domain:f:3 connect:f:3 close:f:3 send:f:3";
        QTest::newRow("Camera") << "Camera"
            << "prototype:object:3 constructor:f:3 get:f:3 names:object:3";
        QTest::newRow("Microphone") << "Microphone"
            << "prototype:object:3 constructor:f:3 get:f:3 names:object:3";
        QTest::newRow("PrintJob.prototype") << "PrintJob.prototype"
            << "constructor:f:1 start:f:3 addPage:f:3 send:f:3 paperHeight:g:0 paperWidth:g:0 "
            "pageHeight:g:0 pageWidth:g:0 orientation:g:0";
        QTest::newRow("Accessibility") << "Accessibility"
            << "isActive:f:3 sendEvent:f:3 updateProperties:f:3";
        QTest::newRow("System.IME") << "System.IME"
            << "getEnabled:f:3 setEnabled:f:3 getConversionMode:f:3 setConversionMode:f:3";
        QTest::newRow("TextSnapshot.prototype") << "TextSnapshot.prototype"
            << "constructor:f:1 getCount:gs:2 setSelected:gs:2 getSelected:gs:2 getText:gs:2 "
            "getSelectedText:gs:2 hitTestTextNearPos:gs:2 findText:gs:2 setSelectColor:gs:2 "
            "getTextRunInfo:gs:2";
        QTest::newRow("flash.display.BitmapData.prototype") << "flash.display.BitmapData.prototype"
            << "constructor:f:1 getPixel:f:3 getPixel32:f:3 setPixel:f:3 setPixel32:f:3 fillRect:f:3 "
            "floodFill:f:3 copyPixels:f:3 colorTransform:f:3 clone:f:3 dispose:f:3 draw:f:3 noise:f:3 "
            "perlinNoise:f:3 scroll:f:3 compare:f:3 merge:f:3 threshold:f:3 copyChannel:f:3 "
            "paletteMap:f:3 pixelDissolve:f:3 hitTest:f:3 getColorBoundsRect:f:3 generateFilterRect:f:3 "
            "width:g:0 height:g:0 transparent:g:0 rectangle:g:0 applyFilter:f:3";
        QTest::newRow("flash.display.BitmapData") << "flash.display.BitmapData"
            << "prototype:object:3 constructor:f:3 loadBitmap:f:3 RED_CHANNEL:number:0 "
            "GREEN_CHANNEL:number:0 BLUE_CHANNEL:number:0 ALPHA_CHANNEL:number:0";
        QTest::newRow("flash.filters.BlurFilter.prototype") << "flash.filters.BlurFilter.prototype"
            << "blurX:gs:0 blurY:gs:0 quality:gs:0 constructor:f:1";
        QTest::newRow("flash.filters.DropShadowFilter.prototype") << "flash.filters.DropShadowFilter.prototype"
            << "distance:gs:0 angle:gs:0 color:gs:0 alpha:gs:0 quality:gs:0 inner:gs:0 knockout:gs:0 "
            "blurX:gs:0 blurY:gs:0 strength:gs:0 hideObject:gs:0 constructor:f:1";
        QTest::newRow("flash.filters.GlowFilter.prototype") << "flash.filters.GlowFilter.prototype"
            << "color:gs:0 alpha:gs:0 quality:gs:0 inner:gs:0 knockout:gs:0 blurX:gs:0 blurY:gs:0 "
            "strength:gs:0 constructor:f:1";
        QTest::newRow("flash.filters.BevelFilter.prototype") << "flash.filters.BevelFilter.prototype"
            << "distance:gs:0 angle:gs:0 highlightColor:gs:0 highlightAlpha:gs:0 shadowColor:gs:0 "
            "shadowAlpha:gs:0 quality:gs:0 strength:gs:0 knockout:gs:0 blurX:gs:0 blurY:gs:0 type:gs:0 "
            "constructor:f:1";
        QTest::newRow("flash.filters.GradientGlowFilter.prototype") << "flash.filters.GradientGlowFilter.prototype"
            << "distance:gs:0 angle:gs:0 colors:gs:0 alphas:gs:0 ratios:gs:0 blurX:gs:0 blurY:gs:0 "
            "quality:gs:0 strength:gs:0 knockout:gs:0 type:gs:0 constructor:f:1";
        QTest::newRow("flash.filters.GradientBevelFilter.prototype") << "flash.filters.GradientBevelFilter.prototype"
            << "distance:gs:0 angle:gs:0 colors:gs:0 alphas:gs:0 ratios:gs:0 blurX:gs:0 blurY:gs:0 "
            "quality:gs:0 strength:gs:0 knockout:gs:0 type:gs:0 constructor:f:1";
        QTest::newRow("flash.filters.ColorMatrixFilter.prototype") << "flash.filters.ColorMatrixFilter.prototype"
            << "matrix:gs:0 constructor:f:1";
        QTest::newRow("flash.filters.ConvolutionFilter.prototype") << "flash.filters.ConvolutionFilter.prototype"
            << "matrixX:gs:0 matrixY:gs:0 matrix:gs:0 divisor:gs:0 bias:gs:0 preserveAlpha:gs:0 clamp:gs:0 "
            "color:gs:0 alpha:gs:0 constructor:f:1";
        QTest::newRow("flash.filters.DisplacementMapFilter.prototype") << "flash.filters.DisplacementMapFilter.prototype"
            << "mapBitmap:gs:0 mapPoint:gs:0 componentX:gs:0 componentY:gs:0 scaleX:gs:0 scaleY:gs:0 "
            "mode:gs:0 color:gs:0 alpha:gs:0 constructor:f:1";
        QTest::newRow("flash.filters.BitmapFilter.prototype") << "flash.filters.BitmapFilter.prototype"
            << "constructor:f:1 clone:f:0";
        QTest::newRow("flash.net.FileReferenceList.prototype") << "flash.net.FileReferenceList.prototype"
            << "constructor:f:1 browse:f:1";
    }
    void convertedShapes()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        ScriptRunner runner(8);
        Object* object = objectAt(runner.machine(), path);
        QVERIFY(object);
        QCOMPARE(fingerprint(runner.machine(), object), expected);
    }

    // Properties converted classes add to other classes' objects.
    void convertedAdditions_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");

        QTest::newRow("MovieClip.prototype.transform") << "MovieClip.prototype" << "transform" << "transform:gs:3";
        QTest::newRow("MovieClip.prototype.attachBitmap") << "MovieClip.prototype" << "attachBitmap" << "attachBitmap:f:1003";
        QTest::newRow("MovieClip.prototype.getTextSnapshot") << "MovieClip.prototype" << "getTextSnapshot" << "getTextSnapshot:f:83";
    }
    void convertedAdditions()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        ScriptRunner runner(8);
        Object* owner = objectAt(runner.machine(), path);
        QVERIFY(owner);
        QStringList found = fingerprint(runner.machine(), owner).split(' ').filter(QRegularExpression('^' + name + ':'));
        QCOMPARE(found.join(' '), expected);
    }

    // Methods that share a class's hidden state reach the same state however they are called:
    // through ASnative, on another Sound of the same clip, or through an object that inherits.
    void sharedState_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("expected"); // traced lines joined by '|'

        QTest::newRow("Sound's numbered methods keep the movie's volume and pan") << 8
            << QString("var a = new Sound(); var b = new Sound(); ASnative(500, 5).call(a, 30); trace(b.getVolume());"
                       "b.setPan(-40); trace(ASnative(500, 0).call(a)); trace(ASnative(500, 2).call({}));"
                       "trace(ASnative(500, 14).call(a) + ' ' + typeof a.duration + ' ' + a.checkPolicyFile);")
            << "30|-40|undefined|1 undefined false";
        QTest::newRow("Sound in SWF 5 reports no bytes") << 5
            << QString("var s = new Sound(); trace(s.getBytesTotal()); s.setVolume(12.9); trace(s.getVolume());")
            << "undefined|12";
        QTest::newRow("Stage's settings are the same through an object that inherits from it") << 8
            << QString("var o = {}; o.__proto__ = Stage; o.align = 'rb'; trace(Stage.align); Stage.scaleMode = 'NOSCALE'; trace(o.scaleMode);"
                       "Stage.addListener({onFullScreen: function(f) { trace('full ' + f); }}); Stage.displayState = 'fullscreen';"
                       "trace(o.displayState + ' ' + Stage.showMenu);")
            << "RB|noScale|full true|fullScreen true";
        QTest::newRow("Stage's accessors are numbered from 666, 1, each setter after its getter") << 8
            << QString("var o = {}; ASSetNativeAccessor(o, 666, 'scaleMode,align,width,,,displayState', 1); o.align = 'tl';"
                       "trace(Stage.align + ' ' + o.scaleMode + ' ' + (o.width === Stage.width) + ' ' + o.displayState);"
                       "o.scaleMode = 'exactfit'; trace(Stage.scaleMode); trace(ASnative(666, 6) + ' ' + ASnative(666, 9));")
            << "LT showAll true normal|exactFit|undefined undefined";
    }
    void sharedState()
    {
        QFETCH(int, version);
        QFETCH(QString, source);
        QFETCH(QString, expected);
        ScriptRunner runner(version);
        QCOMPARE(runner.run(source).join('|'), expected);
    }

    // The converted classes keep Flash's numbering: ASSetNative lays a table out by Flash's order
    // of names, and each must be the class's own method.
    void convertedClasses_data()
    {
        QTest::addColumn<QString>("owner");
        QTest::addColumn<int>("table");
        QTest::addColumn<int>("first");
        QTest::addColumn<QString>("names");

        QTest::newRow("Math") << "Math" << 200 << 0 << "abs,min,max,sin,cos,atan2,tan,exp,log,sqrt,round,random,floor,ceil,atan,asin,acos,pow";
        QTest::newRow("global number tests") << "_global" << 200 << 18 << "isNaN,isFinite";
        QTest::newRow("global text functions") << "_global" << 100 << 0 << "escape,unescape,parseInt,parseFloat";
        QTest::newRow("global timers") << "_global" << 250 << 0 << "setInterval,clearInterval";
        QTest::newRow("Key") << "Key" << 800 << 0 << "getAscii,getCode,isDown,isToggled";
        QTest::newRow("Mouse") << "Mouse" << 5 << 0 << "show,hide";
        QTest::newRow("Object.prototype") << "Object.prototype" << 101 << 0 << "watch,unwatch,addProperty,valueOf,toString,hasOwnProperty,isPrototypeOf,isPropertyEnumerable";
        QTest::newRow("Object") << "Object" << 101 << 8 << "registerClass";
        QTest::newRow("AsBroadcaster") << "AsBroadcaster" << 101 << 12 << "broadcastMessage";
        QTest::newRow("Date.prototype") << "Date.prototype" << 103 << 0 << "getFullYear,getYear,getMonth,getDate,getDay,getHours,getMinutes,getSeconds,"
                                                                       "getMilliseconds,setFullYear,setMonth,setDate,setHours,setMinutes,setSeconds,"
                                                                       "setMilliseconds,getTime,setTime,getTimezoneOffset,toString";
        QTest::newRow("Date.prototype in UTC") << "Date.prototype" << 103 << 128 << "getUTCFullYear,,getUTCMonth,getUTCDate,getUTCDay,getUTCHours,"
                                                                              "getUTCMinutes,getUTCSeconds,getUTCMilliseconds,setUTCFullYear,setUTCMonth,"
                                                                              "setUTCDate,setUTCHours,setUTCMinutes,setUTCSeconds,setUTCMilliseconds";
        QTest::newRow("Date") << "Date" << 103 << 257 << "UTC";
        QTest::newRow("Color.prototype") << "Color.prototype" << 700 << 0 << "setRGB,setTransform,getRGB,getTransform";
        QTest::newRow("MovieClipLoader.prototype") << "MovieClipLoader.prototype" << 112 << 100 << "loadClip,getProgress,unloadClip";
        QTest::newRow("MovieClipLoader.prototype") << "MovieClipLoader.prototype" << 112 << 100 << "loadClip,getProgress,unloadClip";
        QTest::newRow("LocalConnection.prototype") << "LocalConnection.prototype" << 2200 << 0 << "connect,send,close,domain";
        QTest::newRow("Camera") << "Camera" << 2102 << 200 << "get";
        QTest::newRow("Microphone") << "Microphone" << 2104 << 200 << "get";
        QTest::newRow("XMLSocket.prototype") << "XMLSocket.prototype" << 400 << 0 << "connect";
        QTest::newRow("PrintJob.prototype") << "PrintJob.prototype" << 111 << 100 << "start,addPage,send";
        QTest::newRow("Accessibility") << "Accessibility" << 1999 << 0 << "isActive,sendEvent,updateProperties";
        QTest::newRow("System.IME") << "System.IME" << 13 << 0 << "getEnabled,setEnabled,getConversionMode,setConversionMode";
        QTest::newRow("TextSnapshot.prototype") << "TextSnapshot.prototype" << 1067 << 1 << "getCount,setSelected,getSelected,getText,getSelectedText,"
                                                                                   "hitTestTextNearPos,findText,setSelectColor,getTextRunInfo";
        QTest::newRow("FileReferenceList.prototype") << "flash.net.FileReferenceList.prototype" << 2205 << 0 << "browse";
        QTest::newRow("Sound.prototype") << "Sound.prototype" << 500 << 0 << "getPan,getTransform,getVolume,setPan,setTransform,setVolume,stop,"
                                                                         "attachSound,start,getDuration,setDuration,getPosition,setPosition,"
                                                                         "loadSound,getBytesLoaded,getBytesTotal";
    }
    void convertedClasses()
    {
        QFETCH(QString, owner);
        QFETCH(int, table);
        QFETCH(int, first);
        QFETCH(QString, names);
        ScriptRunner runner(8);
        const QString source = QString("var o = {}; ASSetNative(o, %1, '%2', %3); var names = '%2'.split(',');"
                                       "for (var i = 0; i < names.length; ++i) if (names[i] != '' && (o[names[i]] !== %4[names[i]] || typeof o[names[i]] != 'function')) trace(names[i]);"
                                       "trace('done');").arg(table).arg(names).arg(first).arg(owner);
        QCOMPARE(runner.run(source).join('|'), QString("done"));
    }
};

QTEST_GUILESS_MAIN(TestDeclarations)

#include "tst_avm1_declarations.moc"
