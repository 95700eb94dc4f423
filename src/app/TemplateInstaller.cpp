#include "app/TemplateInstaller.h"

#include "app/CommandLine.h"
#include "platform/MessageBox.h"
#include "platform/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>

namespace app {

namespace {

const QString ReplaceQuestion = QStringLiteral("This template is already installed. Do you wish to replace it?");

void tell(QWidget* parent, const QString& text, platform::MessageIcon icon)
{
    platform::MessageRequest request;
    request.text = text;
    request.icon = icon;
    platform::showMessage(request, parent);
}

} // namespace

TemplateInstaller::TemplateInstaller(QString installFolder, QWidget* messageParent)
    : m_installFolder(std::move(installFolder))
    , m_messageParent(messageParent)
{
    m_downloadOptions.progressParent = messageParent;
}

QString TemplateInstaller::destinationFor(const QString& fileName) const
{
    QDir().mkpath(m_installFolder);
    return m_installFolder + QLatin1Char('/') + fileName;
}

bool TemplateInstaller::confirmReplace() const
{
    platform::MessageRequest request;
    request.text = ReplaceQuestion;
    request.icon = platform::MessageIcon::Question;
    request.buttons = platform::MessageButtons::YesNo;
    return platform::showMessage(request, m_messageParent) == platform::MessageAnswer::Yes;
}

bool TemplateInstaller::installFromLink(const QString& link)
{
    const QString address = templateLinkAddress(link);
    if (!address.contains(QLatin1Char('/')))
        return false;

    const QString fileName = templateFileNameFromAddress(address);
    if (fileName.isEmpty()) {
        tell(m_messageParent, QStringLiteral("Unable to download the template file."), platform::MessageIcon::Critical);
        return true;
    }
    const QString destination = destinationFor(fileName);
    if (QFileInfo::exists(destination) && !confirmReplace())
        return true;

    if (platform::downloadFile(address, destination, m_downloadOptions))
        tell(m_messageParent, QStringLiteral("The template has been downloaded and installed successfully."),
            platform::MessageIcon::Information);
    else
        tell(m_messageParent, QStringLiteral("Unable to download the template file."), platform::MessageIcon::Critical);
    return true;
}

bool TemplateInstaller::installFromFile(const QString& text)
{
    // Desktops may hand a file over as a file: URL rather than a path.
    QString path = text;
    if (path.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        path = QUrl(path).toLocalFile();
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;

    path.remove(QLatin1Char('"'));
    const QFileInfo source(path);
    const QString name = source.fileName();
    if (!hasTemplateExtension(name))
        return false;
    const QString destination = destinationFor(name);

    // The same file reached by another spelling (a relative path, a link) must not be copied
    // onto itself, so the comparison is of the resolved paths.
    const QFileInfo target(destination);
    const bool sameFile = source.absoluteFilePath() == target.absoluteFilePath()
        || (target.exists() && source.canonicalFilePath() == target.canonicalFilePath());
    if (!sameFile) {
        if (target.exists() && !confirmReplace())
            return true;
        // A failed copy still makes the file the last template, as it always did; the list
        // simply will not find it if it is not there.
        copyFileSafely(source.absoluteFilePath(), destination);
    }
    platform::saveSetting(QStringLiteral("Last Time"), QStringLiteral("Template"), name);
    platform::saveSetting(QStringLiteral("Last Time"), QStringLiteral("Part"), QStringLiteral("0"));
    return true;
}

bool copyFileSafely(const QString& source, const QString& destination)
{
    QFile input(source);
    if (!input.open(QIODevice::ReadOnly))
        return false;
    QSaveFile output(destination);
    output.setDirectWriteFallback(false);
    if (!output.open(QIODevice::WriteOnly))
        return false;
    QByteArray buffer;
    while (!(buffer = input.read(1 << 20)).isEmpty()) {
        if (output.write(buffer) != buffer.size()) {
            output.cancelWriting();
            return false;
        }
    }
    if (input.error() != QFileDevice::NoError) {
        output.cancelWriting();
        return false;
    }
    return output.commit();
}

} // namespace app
