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
// selector of a comma-separated list; comments are skipped. Nothing when the text is not
// well formed (a block left open, a selector with no block, an empty selector).
std::optional<std::vector<Rule>> parse(const QString& css);

// "font-size" becomes "fontSize": each dash goes and the letter after it is made upper case.
QString scriptName(const QString& cssName);

} // namespace player::avm1::builtins::css_text
