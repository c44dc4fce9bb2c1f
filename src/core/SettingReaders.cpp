#include "core/SettingReaders.h"

#include "core/NumberText.h"
#include "core/RuntimeError.h"

#include <cmath>
#include <limits>
#include <QRegularExpression>

namespace SettingReaders {

QString text(const QString& text) {
    return text;
}

double number(const QString& text) {
    const std::optional<double> value = NumberText::read(text);
    if (!value)
        throw RuntimeError::typeMismatch();
    return *value;
}

bool flagEqualsOne(const QString& text) {
    return number(text) == 1.0;
}

bool flagNotZero(const QString& text) {
    return number(text) != 0.0;
}

bool boolean(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (trimmed.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    return number(text) != 0.0;
}

namespace {
// Whole-number conversion rounds half to even, as the store's writers expect.
template <typename Int> Int wholeNumber(const QString& text) {
    const double rounded = std::nearbyint(number(text));
    if (rounded < std::numeric_limits<Int>::min() || rounded > std::numeric_limits<Int>::max())
        throw RuntimeError::overflow();
    return static_cast<Int>(rounded);
}
} // namespace

qint16 int16(const QString& text) {
    return wholeNumber<qint16>(text);
}

qint32 int32(const QString& text) {
    return wholeNumber<qint32>(text);
}

float single(const QString& text) {
    const double value = number(text);
    if (std::fabs(value) > std::numeric_limits<float>::max())
        throw RuntimeError::overflow();
    return static_cast<float>(value);
}

double numberPrefix(const QString& text) {
    static const QRegularExpression prefix(
        QStringLiteral(R"(^\s*([+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?))"));
    const QRegularExpressionMatch match = prefix.match(text);
    if (!match.hasMatch())
        return 0.0;
    const double value = match.captured(1).toDouble();
    return std::isfinite(value) ? value : 0.0;
}

int wholePrefix(const QString& text) {
    return static_cast<int>(numberPrefix(text));
}

int positiveWholeNumber(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < 1)
        throw RuntimeError::typeMismatch();
    return value;
}

} // namespace SettingReaders
