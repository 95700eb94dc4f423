#pragma once

#include <QMenu>
#include <QPoint>
#include <QStringList>
#include <functional>
#include <optional>

namespace texture {

// The pop-up menu of the item list: entry i stands for line i, captioned with the line's
// first field; "-" is a separator, and an empty list gives the one disabled entry "(Empty)".
// Each entry keeps a copy of its line, so what the user chose is carried out even when the
// movie changes its list while the menu is up.
class ItemMenu {
public:
    // Builds the menu. Throws RuntimeError 9 for a line with "&" but fewer than three fields
    // (see ItemDefinition::isEnabled).
    ItemMenu(const QStringList& lines, bool plainColourMode, bool gradientWindowShown, QWidget* parent = nullptr);

    QMenu& menu() { return m_menu; }

    // Shows the menu at a screen position and waits until it closes; the chosen entry's line,
    // or nothing when the menu was dismissed.
    std::optional<QString> exec(const QPoint& position);

    // The seam tests use: while a handler is installed, exec() hands the built menu to it and
    // takes the entry it returns (null for none) as the user's choice.
    using Handler = std::function<QAction*(QMenu& menu)>;
    static void setHandler(Handler handler); // an empty handler restores the real menu

private:
    QMenu m_menu;
};

} // namespace texture
