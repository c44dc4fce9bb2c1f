#pragma once

#include <functional>
#include <initializer_list>
#include <QString>

class QDialog;
class QLabel;
class QPushButton;
class QStackedWidget;
class QVBoxLayout;
class QWidget;

// The frame both wizards share: the page picture on the left, the step caption and the page
// stack on the right, and the button bar with Cancel, Back and Next below. The widgets belong
// to the dialog; the wizard fills the pages and drives the buttons.
class WizardFrame final {
public:
    // cmdArray indices shared by both wizards.
    enum Button { Cancel = 1, Back = 2, Next = 3 };

    explicit WizardFrame(QDialog& dialog);
    WizardFrame(const WizardFrame&) = delete;
    WizardFrame& operator=(const WizardFrame&) = delete;

    // A new page at the end of the stack, with its layout to fill.
    QVBoxLayout* addPage(const QString& objectName);
    // Brings the page's frame to the front with its step caption and picture.
    void showPage(int page, const QString& step, const QString& picture);
    QPushButton* button(Button which) const;
    // Calls click with the cmdArray index of the button pressed.
    void connectButtons(const std::function<void(int)>& click);
    // Tab walks the pages' widgets in the order given, then the button bar from left to right.
    void chainTabOrder(std::initializer_list<QWidget*> pageWidgets);

    // A label that wraps and may be selected for copying.
    static QLabel* wrappedLabel(const QString& text, QWidget* parent);
    // A bold heading.
    static QLabel* heading(const QString& text, QWidget* parent);
    // The text with a zero-width break allowed between the characters of each word too long
    // for a line. A label wraps only where a line may break; a long name without a space
    // would run off the page.
    static QString breakable(const QString& text);

    QLabel* lblStep;
    QLabel* imgStep;
    QStackedWidget* fraStep;
    QWidget* picNav;

private:
    QPushButton* m_cancel;
    QPushButton* m_back;
    QPushButton* m_next;
};
