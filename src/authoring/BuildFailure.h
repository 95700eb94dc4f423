#pragma once

#include <QString>

#include <stdexcept>

namespace authoring {

// Thrown inside the template builder with a message that names the manifest entry at fault;
// buildTemplate() turns it into a value.
struct BuildFailure : std::runtime_error {
    explicit BuildFailure(const QString& message) : std::runtime_error(message.toStdString()), message(message) {}
    QString message;
};

} // namespace authoring
