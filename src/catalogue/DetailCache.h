#pragma once

#include "catalogue/TemplateDetails.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <optional>

namespace catalogue {

// What the catalogue read from each template, kept between runs so that a movie is read again
// only when its file changed. A template is known by its path, size and modification time.
// The cache lives in one file, "catalogue.json" in the user's cache folder; it is written
// through a temporary file that replaces it, so a crash or a second program never leaves half
// a file. A file that cannot be read, or is from another version, counts as empty.
class DetailCache {
public:
    // Raised whenever what is kept or how details are read changes.
    static constexpr int FormatVersion = 1;

    // $XDG_CACHE_HOME/skarvelle2/catalogue.json, else ~/.cache/skarvelle2/catalogue.json.
    static QString defaultFilePath();

    explicit DetailCache(QString filePath = defaultFilePath());

    const QString& filePath() const { return m_filePath; }

    void load();
    std::optional<TemplateDetails> find(const QString& path, qint64 size, qint64 modified);
    void insert(const QString& path, qint64 size, qint64 modified, const TemplateDetails& details);
    // Writes the templates found or inserted since load(), when that differs from the file.
    // False when the file could not be written.
    bool save();

private:
    struct Record {
        qint64 size = 0;
        qint64 modified = 0;
        TemplateDetails details;
    };

    QString m_filePath;
    QHash<QString, Record> m_records;
    QSet<QString> m_used;
    bool m_changed = false;
};

} // namespace catalogue
