// skrv-build: builds a template movie from its source folder.

#include "authoring/TemplateBuilder.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments().mid(1);
    QTextStream errors(stderr);
    if (arguments.size() != 3 || arguments[1] != "-o") {
        errors << "usage: skrv-build <template folder or template.json> -o <output.skrv>\n";
        return 2;
    }
    const authoring::TemplateBuildResult result = authoring::buildTemplate(arguments[0]);
    if (!result.ok()) {
        errors << "skrv-build: " << result.error << "\n";
        return 1;
    }
    // Written under a temporary name and renamed into place, so a failed write never leaves
    // a half movie behind.
    QSaveFile output(arguments[2]);
    if (!output.open(QIODevice::WriteOnly) || output.write(result.movie) != result.movie.size() || !output.commit()) {
        errors << "skrv-build: cannot write " << arguments[2] << ": " << output.errorString() << "\n";
        return 1;
    }
    return 0;
}
