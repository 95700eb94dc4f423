#include "catalogue/CatalogueGrouping.h"

#include "catalogue/GroupKey.h"

#include <algorithm>

namespace catalogue {

void CatalogueGrouping::add(const QString& category, const QString& siteName)
{
    m_names[index(GroupBy::Category)].append(category);
    m_names[index(GroupBy::ObjectMakerSite)].append(siteName);
    addToGroups(GroupBy::Category, category);
    addToGroups(GroupBy::ObjectMakerSite, siteName);
}

void CatalogueGrouping::clear()
{
    for (int by = 0; by < 2; ++by) {
        m_names[by].clear();
        m_groups[by].clear();
    }
}

void CatalogueGrouping::addToGroups(GroupBy by, const QString& name)
{
    QStringList& groups = m_groups[index(by)];
    const QString key = groupKey(name);
    if (std::any_of(groups.cbegin(), groups.cend(), [&key](const QString& group) { return groupKey(group) == key; }))
        return;
    if (by == GroupBy::ObjectMakerSite) {
        groups.append(name);
        return;
    }
    // Alphabetical as people read it: case counts only between names that differ in nothing else.
    const auto before = [](const QString& left, const QString& right) {
        const int order = left.compare(right, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : left < right;
    };
    groups.insert(std::upper_bound(groups.cbegin(), groups.cend(), name, before) - groups.cbegin(), name);
}

int CatalogueGrouping::groupOf(GroupBy by, int entry) const
{
    if (entry < 0 || entry >= entryCount())
        return -1;
    const QString key = groupKey(nameOf(by, entry));
    const QStringList& groups = m_groups[index(by)];
    for (int group = 0; group < groups.size(); ++group) {
        if (groupKey(groups[group]) == key)
            return group;
    }
    return -1;
}

QList<int> CatalogueGrouping::members(GroupBy by, int group) const
{
    QList<int> entries;
    const QStringList& groups = m_groups[index(by)];
    if (group < 0 || group >= groups.size())
        return entries;
    const QString key = groupKey(groups[group]);
    const QStringList& names = m_names[index(by)];
    for (int entry = 0; entry < names.size(); ++entry) {
        if (groupKey(names[entry]) == key)
            entries.append(entry);
    }
    return entries;
}

} // namespace catalogue
