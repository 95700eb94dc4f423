#pragma once

#include "catalogue/GroupBy.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>

namespace catalogue {

// The catalogue's two groupings of its entries: by category and by the object maker's site
// name. Names with the same groupKey() form one group, shown by the name met first. Category
// groups are kept in alphabetical order, site groups in the order first met. A name that could
// not be read is the empty name, a group of its own.
class CatalogueGrouping {
public:
    // Adds the next entry with its category and object maker's site name.
    void add(const QString& category, const QString& siteName);
    void clear();

    int entryCount() const { return int(m_names[0].size()); }
    // The group names, in the order they are listed.
    const QStringList& groups(GroupBy by) const { return m_groups[index(by)]; }
    // The entry's name in a grouping (its category or site name).
    QString nameOf(GroupBy by, int entry) const { return m_names[index(by)].value(entry); }
    // The position in groups() of the entry's group, -1 for an entry that does not exist.
    int groupOf(GroupBy by, int entry) const;
    // The entries of a group, in entry order.
    QList<int> members(GroupBy by, int group) const;

private:
    static int index(GroupBy by) { return by == GroupBy::Category ? 0 : 1; }
    void addToGroups(GroupBy by, const QString& name);

    std::array<QStringList, 2> m_names;  // per entry
    std::array<QStringList, 2> m_groups; // the groups' names as listed
};

} // namespace catalogue
