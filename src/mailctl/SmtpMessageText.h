#pragma once

#include <QByteArray>
#include <QString>

namespace SmtpMessageText {
// The text sent after DATA: the subject line, the body (which may begin with further header
// lines and the empty separating line), and the closing ".". Every line ends in CR LF, whether
// it ended in CR, LF or CR LF; a line that begins with "." has it doubled, and a NUL becomes a
// blank, so the server receives the body as written.
QByteArray compose(const QString& subject, const QString& body);
} // namespace SmtpMessageText
