#pragma once

#include <QString>
#include <cstdint>

class QWidget;

namespace platform {

struct DownloadOptions {
    int stallTimeoutMs = 30000;                 // a transfer that moves no data this long fails
    std::int64_t maximumBytes = 64 * 1024 * 1024; // a larger body fails
    bool showProgress = true;                   // a progress box with Cancel; Cancel is a failure
    QWidget* progressParent = nullptr;
};

// Fetches a URL into a local file and returns only when the transfer has finished or failed
// (the caller's thread waits in a local event loop). The newest version is asked for, cached
// copies are bypassed and redirects are followed, also to https, but never from https back to
// http. The body goes into a temporary file beside the local path, which replaces the local
// file only after a complete, successful transfer; on any failure the local file is left as it
// was. True on success.
bool downloadFile(const QString& url, const QString& localPath);
bool downloadFile(const QString& url, const QString& localPath, const DownloadOptions& options);

} // namespace platform
