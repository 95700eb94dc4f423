#pragma once

#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace player::avm1::builtins::css_text {

// One rule of a style sheet: a selector and its declarations, names as scripts see them
// ("fontSize" for font-size), values as written without the blanks before them (those after
// them stay).
struct Rule {
    QString selector;
    std::vector<std::pair<QString, QString>> declarations;
};

// Reads style sheet text (TextField.StyleSheet.parseCSS): rules in order, a rule for each
// selector of a comma-separated list; comments between names and values are skipped. Nothing
// when the text is not well formed: a selector or property name with a blank inside it, a
// selector with no block, a declaration the text ends inside of.
std::optional<std::vector<Rule>> parse(const QString& css);

// "font-size" becomes "fontSize": a dash goes and the character after it is made upper case.
QString scriptName(const QString& cssName);

} // namespace player::avm1::builtins::css_text
