#include "ui/dialogs/DeviceName.h"

#include <QStringList>

namespace {

// A text that reads as a number, blanks around it allowed ("12", " 7", "1.5", "1e3").
bool isNumeric(const QString& text, double* value = nullptr) {
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    if (value)
        *value = number;
    return ok && !text.trimmed().isEmpty();
}

} // namespace

namespace DeviceName {

bool IsIPAddress(const QString& name) {
    const QStringList parts = name.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    for (const QString& part : parts) {
        double value = 0;
        if (!isNumeric(part, &value))
            return false;
        const qint64 whole = qRound64(value);
        if (whole < 0 || whole > 255)
            return false;
    }
    return true;
}

bool IsHostName(const QString& name) {
    const bool hasDot = name.contains(QLatin1Char('.'));
    if (!hasDot && name.size() < 2)
        return false;
    if (name == QLatin1String("NULL"))
        return false;
    if (!isNumeric(name))
        return true;
    return hasDot;
}

bool hasSeparator(const QString& name) {
    for (const QChar c : name) {
        if (c == QLatin1Char(';') || c == QLatin1Char('\t') || c == QLatin1Char('\r') ||
            c == QLatin1Char('\n') || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            return true;
    }
    return false;
}

bool isValid(const QString& name) {
    return !hasSeparator(name) && (IsIPAddress(name) || IsHostName(name));
}

} // namespace DeviceName
