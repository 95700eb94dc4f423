#include "catalogue/CatalogueScan.h"

#include "catalogue/DetailCache.h"
#include "catalogue/DisplayName.h"
#include "catalogue/PartWalk.h"

#include <QDateTime>
#include <QFileInfo>

namespace catalogue {

CatalogueScan::CatalogueScan(DetailCache* cache)
    : m_cache(cache)
{
}

ScanResult CatalogueScan::run(const std::vector<TemplateFile>& files, const Progress& progress)
{
    ScanResult result;
    if (m_cache)
        m_cache->load();
    result.entries.reserve(files.size());
    for (const TemplateFile& file : files) {
        const QFileInfo info(file.path);
        const qint64 size = info.size();
        const qint64 modified = info.lastModified().toMSecsSinceEpoch();
        CatalogueEntry entry{file.fileName, file.path, templateDisplayName(file.fileName), {}};
        if (auto cached = m_cache ? m_cache->find(file.path, size, modified) : std::nullopt) {
            entry.details = std::move(*cached);
        } else {
            PartWalk walk;
            walk.open(file.path);
            entry.details = walk.details();
            ++result.moviesRead;
            // A file that is gone has nothing to remember.
            if (m_cache && info.exists())
                m_cache->insert(file.path, size, modified, entry.details);
        }
        result.entries.push_back(std::move(entry));
        if (progress && !progress(int(result.entries.size()), int(files.size()))) {
            result.cancelled = true;
            break;
        }
    }
    if (m_cache)
        m_cache->save();
    if (result.cancelled)
        result.entries.clear();
    return result;
}

} // namespace catalogue
