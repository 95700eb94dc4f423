#include "TemplateBuilder.h"

#include "BitmapEncoder.h"
#include "BuildFailure.h"
#include "ButtonDefinition.h"
#include "ManifestShapes.h"
#include "MovieWriter.h"
#include "ScriptCompiler.h"
#include "TextFieldDefinition.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <cmath>
#include <map>

namespace authoring {

namespace {

const std::map<QString, BlendMode> blendModes = {
    {"normal", BlendMode::Normal},     {"layer", BlendMode::Layer},       {"multiply", BlendMode::Multiply},
    {"screen", BlendMode::Screen},     {"lighten", BlendMode::Lighten},   {"darken", BlendMode::Darken},
    {"difference", BlendMode::Difference}, {"add", BlendMode::Add},       {"subtract", BlendMode::Subtract},
    {"invert", BlendMode::Invert},     {"alpha", BlendMode::Alpha},       {"erase", BlendMode::Erase},
    {"overlay", BlendMode::Overlay},   {"hardlight", BlendMode::HardLight},
};

const std::map<QString, uint32_t> clipEvents = {
    {"load", 0x01}, {"enterFrame", 0x02}, {"unload", 0x04}, {"mouseDown", 0x10}, {"mouseUp", 0x20},
    {"data", 0x100}, {"press", 0x400}, {"release", 0x800},
};

class Builder {
public:
    explicit Builder(const QString& manifestFile) : m_folder(QFileInfo(manifestFile).absoluteDir()), m_manifestName(QFileInfo(manifestFile).fileName())
    {
        QFile file(manifestFile);
        if (!file.open(QIODevice::ReadOnly))
            throw BuildFailure(manifestFile + ": cannot open: " + file.errorString());
        QJsonParseError parseError;
        const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
        if (parseError.error != QJsonParseError::NoError)
            throw BuildFailure(QStringLiteral("%1: offset %2: %3").arg(m_manifestName).arg(parseError.offset).arg(parseError.errorString()));
        if (!document.isObject())
            throw BuildFailure(m_manifestName + ": the manifest is one JSON object");
        m_manifest = document.object();
    }

    QByteArray build()
    {
        const int version = m_manifest["version"].toInt(8);
        const int width = m_manifest["width"].toInt(0);
        const int height = m_manifest["height"].toInt(0);
        if (version < 6 || version > 10)
            throw BuildFailure(m_manifestName + ": \"version\" must be 6 to 10");
        if (width < 1 || height < 1 || width > 8191 || height > 8191)
            throw BuildFailure(m_manifestName + ": \"width\" and \"height\" must be 1 to 8191 pixels");
        const double frameRate = m_manifest["frameRate"].toDouble(12);
        if (!(frameRate > 0 && frameRate < 256))
            throw BuildFailure(m_manifestName + ": \"frameRate\" must be above 0 and below 256");
        m_movie = std::make_unique<MovieWriter>(version, width, height, frameRate);
        if (m_manifest.contains("background"))
            m_movie->setBackground(parseColor(m_manifest["background"], m_manifestName + " background"));

        defineImages();
        m_symbolSources = {{"shapes", m_manifest["shapes"].toObject()},
                           {"texts", m_manifest["texts"].toObject()},
                           {"buttons", m_manifest["buttons"].toObject()},
                           {"clips", m_manifest["clips"].toObject()}};
        // Every symbol is defined, used or not, so that a mistake in an unused one is reported too.
        for (const auto& [group, symbols] : m_symbolSources) {
            for (auto symbol = symbols.begin(); symbol != symbols.end(); ++symbol)
                symbolId(symbol.key(), m_manifestName);
        }
        const QJsonArray frames = m_manifest["frames"].toArray();
        if (frames.isEmpty())
            throw BuildFailure(m_manifestName + ": \"frames\" must list at least one frame");
        writeFrames(m_movie->root(), frames, m_manifestName + " frame");
        return m_movie->toBytes(m_manifest["compress"].toBool(true));
    }

private:
    void defineImages()
    {
        const QJsonObject images = m_manifest["images"].toObject();
        for (auto image = images.begin(); image != images.end(); ++image) {
            const uint16_t id = m_movie->allocateCharacterId();
            const BitmapResult bitmap = bitmapFromFile(id, m_folder.filePath(image.value().toString()));
            if (!bitmap.tag)
                throw BuildFailure(m_manifestName + " image '" + image.key() + "': " + bitmap.error);
            m_movie->root().addTag(bitmap.tag->code, bitmap.tag->body);
            m_bitmaps.insert(image.key(), {id, QSize(bitmap.tag->width, bitmap.tag->height)});
        }
    }

    // The character id of a symbol, defining it (and what it uses) the first time it is asked for.
    uint16_t symbolId(const QString& name, const QString& usedBy)
    {
        if (auto found = m_symbolIds.find(name); found != m_symbolIds.end())
            return found->second;
        if (m_defining.contains(name))
            throw BuildFailure(usedBy + ": symbol '" + name + "' contains itself");
        for (const auto& [group, symbols] : m_symbolSources) {
            if (!symbols.contains(name))
                continue;
            m_defining.insert(name);
            const QString where = QStringLiteral("%1 %2 '%3'").arg(m_manifestName, group.chopped(1), name);
            uint16_t id = 0;
            if (group == "shapes")
                id = defineShape(symbols[name], where);
            else if (group == "texts")
                id = defineText(symbols[name].toObject(), where);
            else if (group == "buttons")
                id = defineButton(symbols[name].toObject(), where);
            else
                id = defineClip(symbols[name].toObject(), where);
            m_defining.remove(name);
            m_symbolIds.emplace(name, id);
            return id;
        }
        throw BuildFailure(usedBy + ": no shape, text, button or clip named '" + name + "'");
    }

    uint16_t defineShape(const QJsonValue& layers, const QString& where)
    {
        const ShapeBuilder shape = parseShape(layers, m_bitmaps, where);
        const uint16_t id = m_movie->allocateCharacterId();
        m_movie->root().addTag(shape.needsDefineShape4() ? TagCode::DefineShape4 : TagCode::DefineShape3, shape.tagBody(id));
        return id;
    }

    uint16_t deviceFont(const QString& name)
    {
        if (auto found = m_fonts.find(name); found != m_fonts.end())
            return found->second;
        const uint16_t id = m_movie->allocateCharacterId();
        m_movie->root().addTag(TagCode::DefineFont2, deviceFontTagBody(id, name.toStdString()));
        m_fonts.emplace(name, id);
        return id;
    }

    uint16_t defineText(const QJsonObject& text, const QString& where)
    {
        TextFieldDefinition field;
        field.bounds = parseBox(text["box"], where);
        field.fontId = deviceFont(text["font"].toString("_sans"));
        const double size = text["size"].toDouble(12);
        if (size < 1 || size > 1000)
            throw BuildFailure(where + ": \"size\" must be 1 to 1000 pixels");
        field.fontHeight = uint16_t(std::lround(size * twipsPerPixel));
        field.color = text.contains("color") ? parseColor(text["color"], where) : Rgba{0, 0, 0, 255};
        field.variableName = text["variable"].toString().toStdString();
        field.initialText = text["text"].toString().toStdString();
        field.multiline = text["multiline"].toBool(false);
        field.wordWrap = field.multiline;
        field.html = text["html"].toBool(false);
        field.border = text["border"].toBool(false);
        const QString align = text["align"].toString("left");
        field.align = align == "center" ? TextFieldDefinition::Align::Center
            : align == "right"          ? TextFieldDefinition::Align::Right
                                        : TextFieldDefinition::Align::Left;
        const uint16_t id = m_movie->allocateCharacterId();
        m_movie->root().addTag(TagCode::DefineEditText, field.tagBody(id));
        return id;
    }

    uint16_t defineButton(const QJsonObject& button, const QString& where)
    {
        ButtonDefinition definition;
        const uint16_t up = symbolId(button["up"].toString(), where);
        const uint16_t over = button.contains("over") ? symbolId(button["over"].toString(), where) : up;
        const uint16_t hit = button.contains("hit") ? symbolId(button["hit"].toString(), where) : up;
        definition.records.push_back({ButtonDefinition::Up, up, 1, {}});
        definition.records.push_back({ButtonDefinition::Over | ButtonDefinition::Down, over, 2, {}});
        definition.records.push_back({ButtonDefinition::HitTest, hit, 3, {}});
        if (button.contains("onRelease"))
            definition.actions.push_back({ButtonDefinition::OverDownToOverUp, script(button["onRelease"], where + " onRelease")});
        if (button.contains("onPress"))
            definition.actions.push_back({ButtonDefinition::OverUpToOverDown, script(button["onPress"], where + " onPress")});
        const uint16_t id = m_movie->allocateCharacterId();
        m_movie->root().addTag(TagCode::DefineButton2, definition.tagBody(id));
        return id;
    }

    uint16_t defineClip(const QJsonObject& clip, const QString& where)
    {
        // The clip's contents are defined first: definitions may not sit inside a sprite.
        TimelineWriter timeline;
        const QJsonArray frames = clip["frames"].toArray();
        if (frames.isEmpty())
            throw BuildFailure(where + ": \"frames\" must list at least one frame");
        writeFrames(timeline, frames, where + " frame");
        // "frameCount" adds empty frames after the listed ones, for clips driven by frame number.
        const int frameCount = clip["frameCount"].toInt(0);
        if (frameCount > 16000)
            throw BuildFailure(where + ": \"frameCount\" must be at most 16000");
        while (timeline.frameCount() < frameCount)
            timeline.showFrame();
        const uint16_t id = m_movie->allocateCharacterId();
        m_movie->defineSprite(id, timeline);
        if (clip.contains("export"))
            m_movie->exportAsset(id, clip["export"].toString().toStdString());
        if (clip.contains("initScript"))
            m_movie->doInitAction(id, script(clip["initScript"], where + " initScript"));
        return id;
    }

    // Compiles a script given as {"file": "name.as"} or as inline text.
    QByteArray script(const QJsonValue& value, const QString& where)
    {
        QString fileName = where;
        QString source;
        if (value.isObject()) {
            fileName = value.toObject()["file"].toString();
            QFile file(m_folder.filePath(fileName));
            if (fileName.isEmpty() || !file.open(QIODevice::ReadOnly))
                throw BuildFailure(where + ": cannot read script '" + fileName + "'");
            source = QString::fromUtf8(file.readAll());
        } else if (value.isString()) {
            source = value.toString();
        } else {
            throw BuildFailure(where + ": a script is text or {\"file\": \"name.as\"}");
        }
        const CompileResult result = ScriptCompiler::compile(source.toStdString());
        if (!result.ok())
            throw BuildFailure(QString::fromStdString(result.error->describe(fileName.toStdString())));
        return result.actions;
    }

    PlaceObjectRecord placement(const QJsonObject& entry, bool isMove, const QString& where)
    {
        PlaceObjectRecord record;
        const int depth = entry["depth"].toInt(0);
        if (depth < 1 || depth > 16000)
            throw BuildFailure(where + ": \"depth\" must be 1 to 16000");
        record.depth = uint16_t(depth);
        record.isMove = isMove;
        if (entry.contains("symbol"))
            record.characterId = symbolId(entry["symbol"].toString(), where);
        else if (!isMove)
            throw BuildFailure(where + ": a placement needs a \"symbol\"");
        if (entry.contains("name"))
            record.name = entry["name"].toString().toStdString();
        const bool moved = entry.contains("x") || entry.contains("y");
        const bool scaled = entry.contains("scale") || entry.contains("scaleX") || entry.contains("scaleY");
        if (moved || scaled || entry.contains("rotation") || !isMove) {
            Matrix transform;
            const double scale = entry["scale"].toDouble(1);
            const double scaleX = entry["scaleX"].toDouble(scale);
            const double scaleY = entry["scaleY"].toDouble(scale);
            const double angle = entry["rotation"].toDouble(0) * M_PI / 180.0;
            transform.a = scaleX * std::cos(angle);
            transform.b = scaleX * std::sin(angle);
            transform.c = -scaleY * std::sin(angle);
            transform.d = scaleY * std::cos(angle);
            transform.tx = int32_t(std::lround(entry["x"].toDouble(0) * twipsPerPixel));
            transform.ty = int32_t(std::lround(entry["y"].toDouble(0) * twipsPerPixel));
            record.transform = transform;
        }
        if (entry.contains("alpha")) {
            const double alpha = entry["alpha"].toDouble(100);
            if (alpha < 0 || alpha > 100)
                throw BuildFailure(where + ": \"alpha\" must be 0 to 100");
            ColorTransform adjust;
            adjust.alphaMult = int32_t(std::lround(alpha * 2.56));
            record.colorTransform = adjust;
        }
        if (entry.contains("mask")) {
            const int clipDepth = entry["mask"].toInt(0);
            if (clipDepth <= depth || clipDepth > 16000)
                throw BuildFailure(where + ": \"mask\" is the highest depth masked and must be above the mask's own depth");
            record.clipDepth = uint16_t(clipDepth);
        }
        if (entry.contains("blend")) {
            const auto mode = blendModes.find(entry["blend"].toString());
            if (mode == blendModes.end())
                throw BuildFailure(where + ": unknown blend mode '" + entry["blend"].toString() + "'");
            record.blendMode = mode->second;
        }
        for (const QJsonValue& value : entry["filters"].toArray())
            record.filters.push_back(filter(value.toObject(), where));
        record.cacheAsBitmap = entry["cacheAsBitmap"].toBool(false);
        const QJsonObject events = entry["events"].toObject();
        for (auto event = events.begin(); event != events.end(); ++event) {
            const auto bit = clipEvents.find(event.key());
            if (bit == clipEvents.end())
                throw BuildFailure(where + ": unknown clip event '" + event.key() + "'");
            record.clipEvents.push_back({bit->second, script(event.value(), where + " " + event.key())});
        }
        return record;
    }

    static BitmapFilter filter(const QJsonObject& object, const QString& where)
    {
        BitmapFilter result;
        const QString kind = object["kind"].toString();
        if (kind == "blur")
            result.kind = BitmapFilter::Kind::Blur;
        else if (kind == "dropShadow")
            result.kind = BitmapFilter::Kind::DropShadow;
        else if (kind == "glow")
            result.kind = BitmapFilter::Kind::Glow;
        else
            throw BuildFailure(where + ": a filter's \"kind\" is blur, dropShadow or glow");
        result.blurX = object["blurX"].toDouble(object["blur"].toDouble(4));
        result.blurY = object["blurY"].toDouble(object["blur"].toDouble(4));
        result.passes = object["quality"].toInt(1);
        if (object.contains("color"))
            result.color = parseColor(object["color"], where);
        result.angle = object["angle"].toDouble(45) * M_PI / 180.0;
        result.distance = object["distance"].toDouble(4);
        result.strength = object["strength"].toDouble(1);
        result.inner = object["inner"].toBool(false);
        return result;
    }

    void writeFrames(TimelineWriter& timeline, const QJsonArray& frames, const QString& where)
    {
        // Everything a frame places is defined before the frame's first control tag.
        for (int index = 0; index < frames.size(); ++index) {
            const QJsonObject frame = frames[index].toObject();
            const QString frameWhere = where + " " + QString::number(index + 1);
            std::vector<PlaceObjectRecord> records;
            for (const QJsonValue& entry : frame["place"].toArray())
                records.push_back(placement(entry.toObject(), false, frameWhere));
            for (const QJsonValue& entry : frame["move"].toArray())
                records.push_back(placement(entry.toObject(), true, frameWhere));
            if (frame.contains("label"))
                timeline.frameLabel(frame["label"].toString().toStdString());
            for (const QJsonValue& depth : frame["remove"].toArray())
                timeline.removeObject(uint16_t(depth.toInt()));
            for (const PlaceObjectRecord& record : records)
                timeline.placeObject(record);
            // A list of scripts becomes one DoAction each, run in order; shared files stay
            // separate, so errors keep their own file's lines.
            const QJsonValue scripts = frame["script"];
            if (scripts.isArray()) {
                for (const QJsonValue& each : scripts.toArray())
                    timeline.doAction(script(each, frameWhere + " script"));
            } else if (!scripts.isUndefined()) {
                timeline.doAction(script(scripts, frameWhere + " script"));
            }
            timeline.showFrame();
        }
    }

    QDir m_folder;
    QString m_manifestName;
    QJsonObject m_manifest;
    std::unique_ptr<MovieWriter> m_movie;
    QMap<QString, BitmapSymbol> m_bitmaps;
    std::vector<std::pair<QString, QJsonObject>> m_symbolSources;
    std::map<QString, uint16_t> m_symbolIds;
    std::map<QString, uint16_t> m_fonts;
    QSet<QString> m_defining;
};

} // namespace

TemplateBuildResult buildTemplate(const QString& manifestPath)
{
    const QFileInfo info(manifestPath);
    const QString manifestFile = info.isDir() ? QDir(manifestPath).filePath("template.json") : manifestPath;
    try {
        Builder builder(manifestFile);
        return {builder.build(), {}};
    } catch (const BuildFailure& failure) {
        return {{}, failure.message};
    }
}

} // namespace authoring

namespace authoring {

TemplateBuildResult buildScriptMovie(const QString& scriptPath)
{
    QFile file(scriptPath);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, scriptPath + ": cannot open: " + file.errorString()};
    const CompileResult compiled = ScriptCompiler::compile(file.readAll().toStdString());
    if (!compiled.ok())
        return {{}, QString::fromStdString(compiled.error->describe(QFileInfo(scriptPath).fileName().toStdString()))};
    MovieWriter movie(8, 100, 100, 12);
    movie.root().doAction(compiled.actions);
    movie.root().showFrame();
    movie.root().showFrame();
    movie.root().showFrame();
    return {movie.toBytes(false), {}};
}

} // namespace authoring
