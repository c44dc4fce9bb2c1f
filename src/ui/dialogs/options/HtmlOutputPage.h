#pragma once

#include "ui/dialogs/options/OptionsPage.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

// "HTML Output": whether the status page is written, where, and from which template.
class HtmlOutputPage final : public OptionsPage {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HtmlOutputPage)

public:
    explicit HtmlOutputPage(AppContext& context, QWidget* parent = nullptr);

    void load() override;

private:
    void chkArray_Click();

    QCheckBox* m_htmlOutput = nullptr;
    QPushButton* m_htmlButton = nullptr;
    QLineEdit* m_htmlFile = nullptr;
    QPushButton* m_templateButton = nullptr;
    QLineEdit* m_templateFile = nullptr;
};
