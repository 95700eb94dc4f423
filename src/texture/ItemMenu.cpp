#include "texture/ItemMenu.h"

#include "texture/ItemDefinition.h"

namespace texture {

namespace {

ItemMenu::Handler& installedHandler()
{
    static ItemMenu::Handler handler;
    return handler;
}

} // namespace

ItemMenu::ItemMenu(const QStringList& lines, bool plainColourMode, bool gradientWindowShown, QWidget* parent)
    : m_menu(parent)
{
    m_menu.setObjectName(QStringLiteral("itemMenu"));
    if (lines.isEmpty()) {
        m_menu.addAction(QStringLiteral("(Empty)"))->setEnabled(false);
        return;
    }
    for (const QString& line : lines) {
        const ItemDefinition item(line);
        const bool enabled = item.isEnabled(plainColourMode, gradientWindowShown);
        QAction* entry = item.isSeparator() ? m_menu.addSeparator() : m_menu.addAction(item.caption());
        entry->setData(line);
        entry->setEnabled(enabled);
    }
}

std::optional<QString> ItemMenu::exec(const QPoint& position)
{
    QAction* chosen = nullptr;
    if (const Handler& handler = installedHandler())
        chosen = handler(m_menu);
    else
        chosen = m_menu.exec(position);
    if (!chosen || chosen->isSeparator() || !chosen->isEnabled() || !chosen->data().isValid())
        return std::nullopt;
    return chosen->data().toString();
}

void ItemMenu::setHandler(Handler handler)
{
    installedHandler() = std::move(handler);
}

} // namespace texture
