#include "app/ApplicationSetup.h"

#include <QGuiApplication>

namespace app {

void configureApplication()
{
    QGuiApplication::setDesktopFileName(QStringLiteral("skarvelle2"));
}

} // namespace app
