#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace texture {

// One line of the item list the movie reports: "caption&parameter&kind", or "-" for a separator.
// Fields are split at every "&" (a field cannot hold one); fields after the third are not read.
// Only the kind is compared without regard to case.
class ItemDefinition {
public:
    enum class Kind {
        Colour,     // the parameter names the variable that holds the part's colour, "0xRRGGBB"
        File,       // the parameter names the variable that receives a texture file's path
        Jump,       // the parameter is a frame of the main timeline, counted from 1
        ClipJump,   // "goto|target": the parameter is a frame of the clip at the target path
        Other,      // anything else: choosing it does nothing
    };

    explicit ItemDefinition(const QString& line);

    const QString& line() const { return m_line; }
    // A line without any "&" (such as the separator "-") is no definition: it has only a caption.
    bool hasFields() const { return m_fields.size() > 1; }
    // True when the line has the three fields a definition needs.
    bool isComplete() const { return m_fields.size() >= 3; }
    bool isSeparator() const { return caption() == QLatin1String("-"); }

    QString caption() const { return m_fields.value(0); }
    QString parameter() const { return m_fields.value(1); }
    // The kind field in lower case; empty for a line without one.
    QString kindText() const { return m_fields.value(2).toLower(); }
    Kind kind() const;
    // For a clip jump, the clip's target path in lower case: the text between the first and the
    // second "|" of the kind.
    QString jumpTarget() const;
    // For a jump, the frame counted from 0: the parameter read as a number, minus 1, rounded to
    // the nearest whole number with halves going to the even one. Nothing when the parameter is
    // not a number or the frame lies outside the range of frame numbers.
    std::optional<int> jumpFrame() const;

    // Whether the menu offers the entry: file and jump entries always, the rest only outside
    // the plain-colour mode and while the gradient window is hidden; a line without fields is
    // always enabled. Throws RuntimeError 9 for a line with "&" but fewer than three fields.
    bool isEnabled(bool plainColourMode, bool gradientWindowShown) const;

private:
    QString m_line;
    QStringList m_fields;
};

} // namespace texture
