#include "app/TemplateList.h"

#include <QDir>
#include <algorithm>
#include <map>

namespace app {

void TemplateList::refresh()
{
    const QString current = fileName(m_currentIndex);
    std::map<QString, QString> byName;
    for (const QString& folder : std::as_const(m_folders)) {
        if (folder.isEmpty())
            continue;
        // The pattern matches without regard to case, as file lists always did.
        const QDir directory(folder);
        for (const QString& name : directory.entryList({QStringLiteral("*.skrv")}, QDir::Files))
            byName[name] = directory.filePath(name);
    }
    m_entries.clear();
    for (auto& [name, path] : byName)
        m_entries.push_back({name, path});
    std::stable_sort(m_entries.begin(), m_entries.end(), [](const Entry& left, const Entry& right) {
        return left.fileName.compare(right.fileName, Qt::CaseInsensitive) < 0;
    });
    m_currentIndex = current.isEmpty() ? -1 : indexOf(current);
}

QStringList TemplateList::names() const
{
    QStringList result;
    for (const Entry& entry : m_entries)
        result.append(entry.fileName);
    return result;
}

QString TemplateList::fileName(int index) const
{
    return index >= 0 && index < count() ? m_entries[size_t(index)].fileName : QString();
}

QString TemplateList::filePath(int index) const
{
    return index >= 0 && index < count() ? m_entries[size_t(index)].path : QString();
}

int TemplateList::indexOf(const QString& fileName) const
{
    for (int index = 0; index < count(); ++index) {
        if (m_entries[size_t(index)].fileName == fileName)
            return index;
    }
    return -1;
}

} // namespace app
