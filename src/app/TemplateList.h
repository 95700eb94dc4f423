#pragma once

#include <QString>
#include <QStringList>

namespace app {

// The template list `File1`: the "*.skrv" files of a folder, by name, without folder. It is
// read again on every refresh, so templates installed meanwhile appear. The current entry is
// the template shown; -1 when there is none.
class TemplateList {
public:
    void setFolder(const QString& folder) { m_folder = folder; }
    const QString& folder() const { return m_folder; }
    void refresh();

    int count() const { return int(m_names.size()); }
    const QStringList& names() const { return m_names; }
    QString fileName(int index) const { return m_names.value(index); }
    QString filePath(int index) const { return m_folder + QLatin1Char('/') + fileName(index); }

    int currentIndex() const { return m_currentIndex; }
    void setCurrentIndex(int index) { m_currentIndex = index; }

private:
    QString m_folder;
    QStringList m_names;
    int m_currentIndex = -1;
};

} // namespace app
