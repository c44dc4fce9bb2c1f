#pragma once

#include "core/CycleNotices.h"

#include <QObject>
#include <QPointer>

class AppContext;
class Database;
class HtmlPage;
class MonitorView;
class ResultRecording;

// The end of a check cycle: finds the items that failed and those that came back, decides
// which to report, and tells the operator through the log, the tree and tray icons, the
// assistant, the notification mail and the status page.
class NotificationDispatch final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NotificationDispatch)

public:
    NotificationDispatch(AppContext& context, Database& db, MonitorView& view,
                         ResultRecording& recording, HtmlPage& page, QObject* parent = nullptr);

    // The window's mail control instance, reached by property and method names.
    void setMailControl(QObject* control);

    void Monitor_Finish();
    void SendMail(const QString& Body, const QString& Subject);

    static QString mailSubject();
    QString mailBody(qint16 T) const;
    // The text the assistant speaks for a list, with its map and pause tags.
    static QString failureSpeech(const FailureList& failures);
    static QString recoverySpeech(const RecoveryList& recoveries);
    // One notification's title and text for a cycle's failures and recoveries.
    static QString desktopTitle(const FailureList& failures, const RecoveryList& recoveries);
    static QString desktopText(const FailureList& failures, const RecoveryList& recoveries);

    FailureList FailureList_;
    RecoveryList RecoveryList_;
    FailureList MailFailures;
    RecoveryList MailRecoveries;

public slots:
    void OrvexSMTP1_SendComplete();
    void OrvexSMTP1_SendError(const QString& ErrorDescription);

private:
    void walkItems(qint16 T, qint16 K);
    void Failure(const QString& Name, const QString& Port, const QString& ErrorText);
    void Recovery(const QString& Name, const QString& Port);
    void Check_Announce();
    void Check_Email(qint16 T);
    void Check_DesktopNotify();
    void Check_HTMLOutput();
    void clearLists();

    AppContext& m_context;
    Database& m_db;
    MonitorView& m_view;
    ResultRecording& m_recording;
    HtmlPage& m_page;
    QPointer<QObject> m_mail;
};
