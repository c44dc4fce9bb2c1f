#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class ComponentPropertyBag;

// Reaches the mail control as the monitor does: the built library registers itself in the
// test's own registry, and controls are created by class identifier and driven by name.
namespace MailControlHost {
// Runs the library's DllRegisterServer; an empty result means success.
QString registerLibrary();
QObject* create(QObject* parent);
// A control whose properties come from `bag`, as a host restores a saved control.
QObject* restore(ComponentPropertyBag& bag, QObject* parent);
void setMessage(QObject* control, const QString& primary, const QString& secondary,
                const QString& body = QStringLiteral("All quiet."));
short send(QObject* control);
} // namespace MailControlHost

// The control's events in the order they arrived, as "SMTPStatus: text" and the like.
class MailEventLog final : public QObject {
    Q_OBJECT

public:
    explicit MailEventLog(QObject* control);

    QStringList events;

private slots:
    void onSendComplete(const QString& results);
    void onSendError(const QString& description);
    void onStatus(const QString& status);
};
