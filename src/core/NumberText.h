#pragma once

#include <optional>
#include <QString>

// The one rule for "does this text read as a number": blanks around it allowed, a sign,
// digits with or without a decimal point and an exponent, group separators where they belong,
// in the C number format or the user's. Not-a-number and infinity are texts, not numbers.
namespace NumberText {
std::optional<double> read(const QString& text);
} // namespace NumberText
