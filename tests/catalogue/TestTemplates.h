#pragma once

#include <QString>
#include <QStringList>

// Template movies for the catalogue's tests, built with the authoring kit: a 100 x 100 movie
// with one frame per script, frame 0 first. Returns an error text, empty on success.
QString writeTemplate(const QString& path, const QStringList& frameScripts);

// A script that sets the given variables to texts: {"title", "Sofa", "category", "Seats"}.
QString variables(const QStringList& namesAndValues);
