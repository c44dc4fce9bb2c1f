#pragma once

#include <QString>
#include <stdexcept>

// A run-time error as the program's routines trap and report it: a number and a description.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, const QString& description)
        : std::runtime_error(description.toStdString())
        , m_number(number)
        , m_description(description) {}

    int number() const { return m_number; }
    QString description() const { return m_description; }

    static RuntimeError typeMismatch() { return {13, QStringLiteral("Type mismatch")}; }
    static RuntimeError overflow() { return {6, QStringLiteral("Overflow")}; }

private:
    int m_number;
    QString m_description;
};
