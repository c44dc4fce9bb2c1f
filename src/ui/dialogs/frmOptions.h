#pragma once

#include <QDialog>
#include <QList>

class AppContext;
class Assistant;
class OptionsPage;
class QPushButton;
class QTabWidget;

// "Monitor Properties": nearly every setting of the monitor on six tabs, one page each. The
// pages show the stored values when the dialog opens and store them only by OK. Choosing a
// character and the four balloon boxes act on the live character at once, and stay in effect
// after Cancel.
class frmOptions final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmOptions)
public:
    frmOptions(AppContext& context, Assistant& assistant, QWidget* parent = nullptr);

    // The window's size when it opens, in twips.
    static constexpr int WidthTwips = 5055;
    static constexpr int HeightTwips = 5040;

private:
    void buildControls(Assistant& assistant);
    void addPage(OptionsPage* page, const QString& caption);
    void Form_Load();
    void setInitialSize();
    void cmdOK_Click();

    AppContext& m_context;
    QTabWidget* m_tabs = nullptr;
    QList<OptionsPage*> m_pages;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};
