#pragma once

#include <QString>
#include <stdexcept>

// A failure as the program reports it: a number, the text of the place that raised it
// (its "source") and a description for people. Procedures either ignore these, return
// quietly, or trap them and show their own message; see the callers.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, QString source, QString description)
        : std::runtime_error(description.toStdString())
        , m_number(number)
        , m_source(std::move(source))
        , m_description(std::move(description))
    {
    }

    int number() const { return m_number; }
    const QString& source() const { return m_source; }
    const QString& description() const { return m_description; }

private:
    int m_number;
    QString m_source;
    QString m_description;
};
