#pragma once

#include <array>
#include <QDialog>

class AppContext;
class Assistant;
class NumberField;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
struct FileChoice;

// "Monitor Properties": nearly every setting of the monitor on six tabs. The controls are
// loaded from the store when the dialog opens and stored only by OK. Choosing a character and
// the four balloon boxes act on the live character at once, and stay in effect after Cancel.
class frmOptions final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmOptions)
public:
    frmOptions(AppContext& context, Assistant& assistant, QWidget* parent = nullptr);

    // The window's size when it opens, in twips.
    static constexpr int WidthTwips = 5055;
    static constexpr int HeightTwips = 5040;

private:
    void buildControls();
    QWidget* agentPanel();
    QWidget* failureCriteriaPanel();
    QWidget* notificationPanel();
    QWidget* htmlPanel();
    QWidget* miscPanel();
    QWidget* pingPanel();
    void connectControls();

    void Form_Load();
    void loadControls();
    void loadBox(QCheckBox* box, const QString& section, const QString& key, bool def);
    void setInitialSize();

    void chkArray_Click(QCheckBox* box);
    void chkBalloon_Click(int index);
    void SetBalloonStyleOptions();
    void cboCharacter_Click();
    void chooseFile(const FileChoice& choice, QLineEdit* path, QCheckBox* feature);
    void cmdSMTP_Click();
    void cmdOK_Click();
    void storeBox(const QString& section, const QString& key, const QCheckBox* box);

    AppContext& m_context;
    Assistant& m_assistant;

    QTabWidget* m_tabs = nullptr;
    QComboBox* m_character = nullptr;
    QCheckBox* m_hideOnIdle = nullptr;
    QCheckBox* m_announceDate = nullptr;
    std::array<QCheckBox*, 4> m_balloon{};
    NumberField* m_consecutiveErrors = nullptr;
    NumberField* m_minutes = nullptr;
    NumberField* m_hostTimeOut = nullptr;
    QCheckBox* m_showCharacter = nullptr;
    QCheckBox* m_sendSmtp = nullptr;
    QPushButton* m_smtp = nullptr;
    QCheckBox* m_sendExchange = nullptr;
    QPushButton* m_exchange = nullptr;
    QCheckBox* m_logActivity = nullptr;
    QPushButton* m_logFileButton = nullptr;
    QLineEdit* m_logFile = nullptr;
    QCheckBox* m_htmlOutput = nullptr;
    QPushButton* m_htmlButton = nullptr;
    QLineEdit* m_htmlFile = nullptr;
    QPushButton* m_templateButton = nullptr;
    QLineEdit* m_templateFile = nullptr;
    NumberField* m_resetIcon = nullptr;
    NumberField* m_historyDays = nullptr;
    QLabel* m_resetIconLabel = nullptr;
    QCheckBox* m_autoStart = nullptr;
    NumberField* m_pingTimeOut = nullptr;
    NumberField* m_pingCount = nullptr;
    QCheckBox* m_fastChecks = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};
