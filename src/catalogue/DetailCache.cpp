#include "catalogue/DetailCache.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace catalogue {

namespace {

QJsonArray toArray(const QStringList& texts)
{
    return QJsonArray::fromStringList(texts);
}

QStringList toStringList(const QJsonValue& value)
{
    QStringList texts;
    for (const QJsonValue& each : value.toArray())
        texts.append(each.toString());
    return texts;
}

QJsonObject toJson(const TemplateDetails& details)
{
    return QJsonObject{
        {QStringLiteral("groupCategory"), details.groupCategory},
        {QStringLiteral("groupSiteName"), details.groupSiteName},
        {QStringLiteral("title"), details.title},
        {QStringLiteral("price"), details.price},
        {QStringLiteral("description"), details.description},
        {QStringLiteral("category"), details.category},
        {QStringLiteral("objectMakerSiteName"), details.objectMakerSiteName},
        {QStringLiteral("templateMakerSiteName"), details.templateMakerSiteName},
        {QStringLiteral("objectMakerSite"), details.objectMakerSite},
        {QStringLiteral("templateMakerSite"), details.templateMakerSite},
        {QStringLiteral("tiles"), details.tiles},
        {QStringLiteral("guids"), toArray(details.guids)},
        {QStringLiteral("size"), details.size},
        {QStringLiteral("parts"), toArray(details.parts)},
        {QStringLiteral("selectedPart"), details.selectedPart},
        {QStringLiteral("options"), toArray(details.options)},
        {QStringLiteral("readable"), details.readable},
    };
}

TemplateDetails fromJson(const QJsonObject& object)
{
    TemplateDetails details;
    details.groupCategory = object[QStringLiteral("groupCategory")].toString();
    details.groupSiteName = object[QStringLiteral("groupSiteName")].toString();
    details.title = object[QStringLiteral("title")].toString();
    details.price = object[QStringLiteral("price")].toString();
    details.description = object[QStringLiteral("description")].toString();
    details.category = object[QStringLiteral("category")].toString();
    details.objectMakerSiteName = object[QStringLiteral("objectMakerSiteName")].toString();
    details.templateMakerSiteName = object[QStringLiteral("templateMakerSiteName")].toString();
    details.objectMakerSite = object[QStringLiteral("objectMakerSite")].toString();
    details.templateMakerSite = object[QStringLiteral("templateMakerSite")].toString();
    details.tiles = object[QStringLiteral("tiles")].toString(QStringLiteral("0"));
    details.guids = toStringList(object[QStringLiteral("guids")]);
    details.size = object[QStringLiteral("size")].toString(QStringLiteral("0 x 0"));
    details.parts = toStringList(object[QStringLiteral("parts")]);
    details.selectedPart = object[QStringLiteral("selectedPart")].toInt(-1);
    if (details.selectedPart < -1 || details.selectedPart >= details.parts.size())
        details.selectedPart = -1;
    details.options = toStringList(object[QStringLiteral("options")]);
    details.readable = object[QStringLiteral("readable")].toBool(true);
    return details;
}

} // namespace

QString DetailCache::defaultFilePath()
{
    // Only an absolute XDG_CACHE_HOME counts; a relative one is ignored, as the desktop's rules say.
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.cache");
    return base + QStringLiteral("/skarvelle2/catalogue.json");
}

DetailCache::DetailCache(QString filePath)
    : m_filePath(std::move(filePath))
{
}

void DetailCache::load()
{
    m_records.clear();
    m_used.clear();
    m_changed = false;
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    if (root[QStringLiteral("version")].toInt() != FormatVersion)
        return;
    for (const QJsonValue& value : root[QStringLiteral("templates")].toArray()) {
        const QJsonObject entry = value.toObject();
        const QString path = entry[QStringLiteral("path")].toString();
        if (path.isEmpty())
            continue;
        Record record;
        record.size = qint64(entry[QStringLiteral("size")].toDouble(-1));
        record.modified = qint64(entry[QStringLiteral("modified")].toDouble(-1));
        record.details = fromJson(entry[QStringLiteral("details")].toObject());
        m_records.insert(path, record);
    }
}

std::optional<TemplateDetails> DetailCache::find(const QString& path, qint64 size, qint64 modified)
{
    const auto found = m_records.constFind(path);
    if (found == m_records.cend() || found->size != size || found->modified != modified)
        return std::nullopt;
    m_used.insert(path);
    return found->details;
}

void DetailCache::insert(const QString& path, qint64 size, qint64 modified, const TemplateDetails& details)
{
    m_records.insert(path, Record{size, modified, details});
    m_used.insert(path);
    m_changed = true;
}

bool DetailCache::save()
{
    // Templates that are gone, or were not looked at, are dropped.
    if (!m_changed && m_used.size() == m_records.size())
        return true;
    QJsonArray templates;
    for (auto it = m_records.cbegin(); it != m_records.cend(); ++it) {
        if (!m_used.contains(it.key()))
            continue;
        templates.append(QJsonObject{
            {QStringLiteral("path"), it.key()},
            {QStringLiteral("size"), double(it->size)},
            {QStringLiteral("modified"), double(it->modified)},
            {QStringLiteral("details"), toJson(it->details)},
        });
    }
    const QJsonObject root{{QStringLiteral("version"), FormatVersion}, {QStringLiteral("templates"), templates}};

    if (!QDir().mkpath(QFileInfo(m_filePath).absolutePath()))
        return false;
    QSaveFile file(m_filePath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QJsonDocument(root).toJson(QJsonDocument::Compact));
    if (!file.commit())
        return false;
    // What the file holds now is what is kept.
    for (auto it = m_records.begin(); it != m_records.end();) {
        if (m_used.contains(it.key()))
            ++it;
        else
            it = m_records.erase(it);
    }
    m_changed = false;
    return true;
}

} // namespace catalogue
