#pragma once

#include <array>
#include <QDialog>

class AppContext;
class QLineEdit;
class QPushButton;
class SmtpTestMail;

// "IP Orvex Monitor - SMTP Options": the servers, recipients and sender the notification
// mail goes out with. OK and "Send Test Mail" are greyed while a required field holds only
// blanks or the recipients (separated by ";") hold a ",", whichever field changed last and also
// as the stored fields load; leaving the recipients with a "," asks for semicolons. "Send Test
// Mail" tries the fields as typed without storing them.
class frmSMTPSetUp final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmSMTPSetUp)
public:
    explicit frmSMTPSetUp(AppContext& context, QWidget* parent = nullptr);
    ~frmSMTPSetUp() override;

    // The fields in their order on the tab.
    enum Field { PrimaryServer, SecondaryServer, Recipients, Sender, FieldCount };

    // Stores the fields and closes, or names the first empty required field and stays open.
    void cmdOK_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void Form_Load();
    bool fieldsComplete() const;
    bool recipientsHoldComma() const;
    void txtArray_Change(int index);
    void recipients_LostFocus();
    void cmdTestMail_Click();
    void showTestOutcome(bool sent, const QString& text);
    void updateTestButton();

    AppContext& m_context;
    std::array<QLineEdit*, FieldCount> m_fields{};
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_testMail = nullptr;
    SmtpTestMail* m_testSender = nullptr;
};
