#pragma once

#include "platform/FileDownload.h"

#include <QString>

class QWidget;

namespace app {

// Installs templates from the command line into the user's template folder (made when
// needed): a "skrvtp:" link is downloaded, a template file is copied. Both go through a
// temporary name in that folder, so a failed install never damages an installed template.
class TemplateInstaller {
public:
    explicit TemplateInstaller(QString installFolder, QWidget* messageParent = nullptr);

    void setDownloadOptions(const platform::DownloadOptions& options) { m_downloadOptions = options; }

    // Downloads the template that a link names and tells the user how it went. Returns false
    // only when the link's address holds no "/", in which case nothing was done and start-up
    // goes on as usual; otherwise the program is to close afterwards, whatever happened.
    bool installFromLink(const QString& link);

    // Copies a template file into the install folder and makes it the template shown, at part
    // 0. Returns false, doing nothing, when the text names no existing ".skrv" file.
    bool installFromFile(const QString& text);

private:
    bool confirmReplace() const;
    QString destinationFor(const QString& fileName) const;

    QString m_installFolder;
    QWidget* m_messageParent;
    platform::DownloadOptions m_downloadOptions;
};

// Copies a file through a temporary name beside the destination; true when the copy is whole.
bool copyFileSafely(const QString& source, const QString& destination);

} // namespace app
