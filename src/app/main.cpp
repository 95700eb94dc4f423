#include "app/MainWindow.h"
#include "catalogue/window/CatalogueListingCommand.h"
#include "platform/TerminationSignals.h"

#include <QApplication>

int main(int argc, char** argv)
{
    if (const std::optional<int> listed = catalogue::listCatalogueIfAsked(argc, argv))
        return *listed;

    QApplication application(argc, argv);
    // No display name is set: window titles already name the program, and message boxes are
    // titled exactly as the program titles them.
    QGuiApplication::setDesktopFileName(QStringLiteral("skarvelle2"));
    // Asked to end by the session, the program leaves through the front door: the window's
    // destructor removes this run's texture files.
    platform::TerminationSignals terminationSignals;

    app::MainWindow window(app::StartupContext::fromApplication());
    window.start();
    if (window.hasEnded())
        return 0;
    window.show();
    return application.exec();
}
