#include "app/ApplicationSetup.h"
#include "app/MainWindow.h"
#include "catalogue/window/CatalogueListingCommand.h"
#include "platform/TerminationSignals.h"
#include "texture/BatchCommand.h"
#include "texture/GradientPainter.h"
#include "tools/TwoColourGradient.h"

#include <QApplication>

#include <cmath>

int main(int argc, char** argv)
{
    // Gradient values of the batch command are drawn by the same model as the gradient window.
    texture::setGradientPainter([](const QColor& from, const QColor& to, double angle) {
        return tools::renderTwoColourGradient(tools::toColourReference(from), tools::toColourReference(to),
                                              int(std::lround(angle)), QSize(256, 256));
    });

    // The batch command runs without a window, before any is made.
    if (texture::BatchCommand::isRequested(argc, argv))
        return texture::runBatchCommand(argc, argv);

    if (const std::optional<int> listed = catalogue::listCatalogueIfAsked(argc, argv))
        return *listed;

    QApplication application(argc, argv);
    app::configureApplication();
    // Asked to end by the session, the program leaves through the front door: the window's
    // destructor removes this run's texture files.
    platform::TerminationSignals terminationSignals;

    app::MainWindow window(app::StartupContext::fromApplication());
    window.start();
    if (window.hasEnded() || terminationSignals.hasReceived())
        return 0;
    window.show();
    return application.exec();
}
