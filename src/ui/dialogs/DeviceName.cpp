#include "ui/dialogs/DeviceName.h"

#include "core/NumberText.h"

#include <QStringList>

namespace DeviceName {

bool IsIPAddress(const QString& name) {
    const QStringList parts = name.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    for (const QString& part : parts) {
        const std::optional<double> value = NumberText::read(part);
        if (!value)
            return false;
        const qint64 whole = qRound64(*value);
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
    if (!NumberText::read(name))
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
