#pragma once

#include "ui/dialogs/options/OptionsPage.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

// "Failure Notification": the character's announcement, mail and the log of a failure.
class FailureNotificationPage final : public OptionsPage {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FailureNotificationPage)

public:
    explicit FailureNotificationPage(AppContext& context, QWidget* parent = nullptr);

    void load() override;

private:
    void chkArray_Click(QCheckBox* box);
    void cmdSMTP_Click();

    QCheckBox* m_sendSmtp = nullptr;
    QPushButton* m_smtp = nullptr;
    QCheckBox* m_logActivity = nullptr;
    QPushButton* m_logFileButton = nullptr;
    QLineEdit* m_logFile = nullptr;
};
