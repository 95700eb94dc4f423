#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

class QTextStream;

namespace app {
class MainWindow;
}

namespace texture {

// The program without its window, for people who make many variants of a sheet and for scripts:
//
//     skarvelle2 --template FILE [--part N] [--list] [--set ITEM=VALUE]... [--save OUT.jpg|OUT.bmp]
//
// The template plays in a main window that is never shown. --list prints the part's items, one
// a line: caption, parameter and kind, separated by tabs. Each --set gives an item (by caption
// or parameter) a value through the same texture code as the item menu: "#RRGGBB" for a colour
// item; for a file item an image path, "plain:#RRGGBB" or "gradient:#RRGGBB,#RRGGBB,ANGLE". The
// movie then plays until it shows the value. --save writes the sheet at its own size as "Save
// As..." does, replacing an existing file. Any error prints one line on standard error and ends
// with status 2, the output file unwritten.
class BatchCommand {
public:
    static constexpr int Failed = 2;

    // True when the command line asks for the batch command: it holds "--template".
    static bool isRequested(int argc, char** argv);

    explicit BatchCommand(QStringList arguments);

    // Runs it inside a running QApplication; the exit status.
    int run(QTextStream& out, QTextStream& err);

private:
    struct Options {
        QString templatePath;
        int part = 0;
        bool list = false;
        std::vector<std::pair<QString, QString>> values; // item, value
        QString output;
    };

    std::optional<QString> parse(Options& options) const;
    QString findTemplate(const QString& name) const;
    std::optional<QString> load(app::MainWindow& window, const Options& options) const;
    void list(app::MainWindow& window, QTextStream& out) const;
    std::optional<QString> apply(app::MainWindow& window, const QString& item, const QString& value) const;
    std::optional<QString> applyToFileItem(app::MainWindow& window, const QString& caption, const QString& variable,
                                           const QString& value) const;
    void playUntilShown(app::MainWindow& window) const;

    QStringList m_arguments;
};

// main()'s way in: makes a window-less application (the offscreen platform), runs the command
// and returns its exit status.
int runBatchCommand(int argc, char** argv);

} // namespace texture
