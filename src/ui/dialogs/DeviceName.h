#pragma once

#include <QString>

// The checks a new device's name must pass: it looks like an IPv4 address or a host name,
// and it holds nothing that would split a result record or a line of the log.
namespace DeviceName {

// Exactly four parts separated by ".", each a number from 0 to 255.
bool IsIPAddress(const QString& name);
// At least two characters or a ".", not "NULL", and not a bare number.
bool IsHostName(const QString& name);
// A tab, a line break or the ";" that separates the fields of a result record.
bool hasSeparator(const QString& name);
bool isValid(const QString& name);

} // namespace DeviceName
