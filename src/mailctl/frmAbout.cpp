#include "frmAbout.h"

#include "ControlIcon.h"
#include "MailControlInfo.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QLabel* namedLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    return label;
}
} // namespace

frmAbout::frmAbout(QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About ") + MailControlInfo::Title);
    setModal(true);

    auto* picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(ControlIcon::pixmap(48));
    picIcon->setAlignment(Qt::AlignTop);

    auto* lblTitle = namedLabel(QStringLiteral("lblTitle"), MailControlInfo::Title, this);
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    lblTitle->setFont(titleFont);

    auto* text = new QVBoxLayout;
    text->addWidget(lblTitle);
    text->addWidget(namedLabel(QStringLiteral("lblVersion"),
                               QStringLiteral("Version ") + MailControlInfo::versionText(), this));
    text->addWidget(
        namedLabel(QStringLiteral("lblDescription_0"), MailControlInfo::Description, this));
    text->addWidget(namedLabel(QStringLiteral("lblDescription_1"), MailControlInfo::Author, this));
    text->addStretch();

    auto* top = new QHBoxLayout;
    top->addWidget(picIcon);
    top->addLayout(text, 1);

    auto* cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    setMinimumWidth(380);
}
