#include "ui/dialogs/WizardFrame.h"

#include "ui/dialogs/DialogImages.h"

#include <QBoxLayout>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextBoundaryFinder>

namespace {
constexpr QSize PictureSize(120, 240);
// Longer words than this may break anywhere.
constexpr int LongWord = 30;
const QChar BreakHere(0x200B);

// Each user-perceived character of the word stays whole.
QString breakEverywhere(const QString& word) {
    QString result;
    QTextBoundaryFinder letters(QTextBoundaryFinder::Grapheme, word);
    qsizetype start = 0;
    for (qsizetype end = letters.toNextBoundary(); end > 0; end = letters.toNextBoundary()) {
        if (start > 0)
            result += BreakHere;
        result += word.mid(start, end - start);
        start = end;
    }
    return result;
}
} // namespace

WizardFrame::WizardFrame(QDialog& dialog)
    : lblStep(new QLabel(&dialog))
    , imgStep(new QLabel(&dialog))
    , fraStep(new QStackedWidget(&dialog))
    , picNav(new QWidget(&dialog))
    , m_cancel(new QPushButton(QStringLiteral("Cancel"), picNav))
    , m_back(new QPushButton(QStringLiteral("< &Back"), picNav))
    , m_next(new QPushButton(QStringLiteral("&Next >"), picNav)) {
    lblStep->setObjectName(QStringLiteral("lblStep"));
    QFont stepFont = lblStep->font();
    stepFont.setBold(true);
    stepFont.setPointSizeF(stepFont.pointSizeF() * 1.25);
    lblStep->setFont(stepFont);
    imgStep->setObjectName(QStringLiteral("imgStep"));
    imgStep->setFixedSize(PictureSize);
    imgStep->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    fraStep->setObjectName(QStringLiteral("fraStep"));
    picNav->setObjectName(QStringLiteral("picNav"));
    m_cancel->setObjectName(QStringLiteral("cmdArray(1)"));
    m_back->setObjectName(QStringLiteral("cmdArray(2)"));
    m_next->setObjectName(QStringLiteral("cmdArray(3)"));
    m_next->setDefault(true);

    auto* pageColumn = new QVBoxLayout;
    pageColumn->addWidget(lblStep);
    pageColumn->addWidget(fraStep, 1);
    auto* top = new QHBoxLayout;
    top->setSpacing(12);
    top->addWidget(imgStep, 0, Qt::AlignTop);
    top->addLayout(pageColumn, 1);

    auto* rule = new QFrame(&dialog);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    auto* buttons = new QHBoxLayout(picNav);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addStretch(1);
    buttons->addWidget(m_back);
    buttons->addWidget(m_next);
    buttons->addSpacing(12);
    buttons->addWidget(m_cancel);

    auto* outer = new QVBoxLayout(&dialog);
    outer->addLayout(top, 1);
    outer->addWidget(rule);
    outer->addWidget(picNav);
}

QVBoxLayout* WizardFrame::addPage(const QString& objectName) {
    auto* page = new QWidget(fraStep);
    page->setObjectName(objectName);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 6, 0, 0);
    fraStep->addWidget(page);
    return layout;
}

void WizardFrame::showPage(int page, const QString& step, const QString& picture) {
    fraStep->setCurrentIndex(page);
    lblStep->setText(step);
    imgStep->setPixmap(DialogImages::picture(picture, PictureSize, imgStep->devicePixelRatioF()));
}

QPushButton* WizardFrame::button(Button which) const {
    switch (which) {
    case Cancel:
        return m_cancel;
    case Back:
        return m_back;
    case Next:
        return m_next;
    }
    return nullptr;
}

void WizardFrame::connectButtons(const std::function<void(int)>& click) {
    for (const Button which : {Cancel, Back, Next})
        QObject::connect(button(which), &QPushButton::clicked, picNav,
                         [click, which] { click(which); });
}

void WizardFrame::chainTabOrder(std::initializer_list<QWidget*> pageWidgets) {
    QWidget* previous = nullptr;
    for (QWidget* widget : pageWidgets) {
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
    for (const Button which : {Back, Next, Cancel}) {
        if (previous)
            QWidget::setTabOrder(previous, button(which));
        previous = button(which);
    }
}

QLabel* WizardFrame::wrappedLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QString WizardFrame::breakable(const QString& text) {
    QString result;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        const bool space = text.at(start).isSpace();
        while (end < text.size() && text.at(end).isSpace() == space)
            ++end;
        const QString run = text.mid(start, end - start);
        result += !space && run.size() > LongWord ? breakEverywhere(run) : run;
        start = end;
    }
    return result;
}

QLabel* WizardFrame::heading(const QString& text, QWidget* parent) {
    QLabel* label = wrappedLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}
