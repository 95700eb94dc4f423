#include "app/Form1.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    // Window titles already end with the program's name, so the desktop adds nothing to them.
    QApplication::setApplicationDisplayName(QStringLiteral("Skarvelle 2"));

    app::Form1 window(app::StartupContext::fromApplication());
    window.Form_Load();
    if (window.hasEnded())
        return 0;
    window.show();
    return application.exec();
}
