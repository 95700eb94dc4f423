#include "app/TemplateList.h"

#include <QDir>

namespace app {

void TemplateList::refresh()
{
    const QString current = fileName(m_currentIndex);
    // The pattern matches without regard to case, as file lists always did.
    m_names = QDir(m_folder).entryList({QStringLiteral("*.skrv")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    m_currentIndex = current.isEmpty() ? -1 : int(m_names.indexOf(current));
}

} // namespace app
