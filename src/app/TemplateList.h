#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace app {

// The list of templates to choose from: the "*.skrv" files of the program's template folder and
// of the user's, by file name, sorted without regard to case. Where both folders hold the same
// name, the user's copy is listed. The list is read again on every refresh, so templates
// installed meanwhile appear. The current entry is the template shown; -1 when there is none.
class TemplateList {
public:
    // The folders in order of precedence: a later folder's file wins over an earlier one's.
    void setFolders(QStringList folders) { m_folders = std::move(folders); }
    const QStringList& folders() const { return m_folders; }
    void refresh();

    int count() const { return int(m_entries.size()); }
    QStringList names() const;
    QString fileName(int index) const;
    QString filePath(int index) const;
    int indexOf(const QString& fileName) const;

    int currentIndex() const { return m_currentIndex; }
    void setCurrentIndex(int index) { m_currentIndex = index; }

private:
    struct Entry {
        QString fileName;
        QString path;
    };

    QStringList m_folders;
    std::vector<Entry> m_entries;
    int m_currentIndex = -1;
};

} // namespace app
