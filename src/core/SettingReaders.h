#pragma once

#include <QString>

// The conversions a reader applies to a stored setting text. A text that is not a number
// raises RuntimeError 13 "Type mismatch"; a number outside the target type raises 6
// "Overflow". Only text, numberPrefix and wholePrefix never fail.
namespace SettingReaders {
QString text(const QString& text);
double number(const QString& text);
bool flagEqualsOne(const QString& text);
bool flagNotZero(const QString& text);
bool boolean(const QString& text);
qint16 int16(const QString& text);
qint32 int32(const QString& text);
float single(const QString& text);
double numberPrefix(const QString& text);
int wholePrefix(const QString& text);
// A whole number of at least 1, written without a fraction; anything else raises 13.
int positiveWholeNumber(const QString& text);
} // namespace SettingReaders
