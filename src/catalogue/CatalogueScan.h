#pragma once

#include "catalogue/CatalogueEntry.h"

#include <QString>
#include <functional>
#include <vector>

namespace catalogue {

class DetailCache;

// A template file to list: its name as the template list shows it, and where it lies.
struct TemplateFile {
    QString fileName;
    QString path;
};

struct ScanResult {
    std::vector<CatalogueEntry> entries; // one per file, in order, unless cancelled
    bool cancelled = false;
    int moviesRead = 0; // templates whose movie was read (not found in the cache)
};

// Reads the details of every template, from the cache when its file is unchanged and from its
// movie otherwise, and keeps what was read in the cache. A template that cannot be read or
// breaks a limit of the player is listed by its name with the empty details.
class CatalogueScan {
public:
    // Told after each template how many of how many are done; returning false cancels the scan
    // (what was read so far is still kept in the cache).
    using Progress = std::function<bool(int done, int total)>;

    // Without a cache every movie is read.
    explicit CatalogueScan(DetailCache* cache = nullptr);

    ScanResult run(const std::vector<TemplateFile>& files, const Progress& progress = {});

private:
    DetailCache* m_cache;
};

} // namespace catalogue
