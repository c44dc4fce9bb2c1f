#include "core/NumberText.h"

#include <cmath>
#include <QLocale>

namespace NumberText {

std::optional<double> read(const QString& text) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    double value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok)
        value = QLocale::system().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace NumberText
