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
    const bool scriptOnly = !arguments.isEmpty() && arguments[0] == "--script";
    const QStringList rest = scriptOnly ? arguments.mid(1) : arguments;
    if (rest.size() != 3 || rest[1] != "-o") {
        errors << "usage: skrv-build <template folder or template.json> -o <output.skrv>\n"
                  "       skrv-build --script <file.as> -o <output.swf>\n";
        return 2;
    }
    const authoring::TemplateBuildResult result =
        scriptOnly ? authoring::buildScriptMovie(rest[0]) : authoring::buildTemplate(rest[0]);
    if (!result.ok()) {
        errors << "skrv-build: " << result.error << "\n";
        return 1;
    }
    // Written under a temporary name and renamed into place, so a failed write never leaves
    // a half movie behind.
    QSaveFile output(rest[2]);
    if (!output.open(QIODevice::WriteOnly) || output.write(result.movie) != result.movie.size() || !output.commit()) {
        errors << "skrv-build: cannot write " << rest[2] << ": " << output.errorString() << "\n";
        return 1;
    }
    return 0;
}
