#include "report/AboutBox.h"

#include "core/AppInfo.h"
#include "report/ProductPicture.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QMetaObject>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// The file version of the program: 2.00.0015.
constexpr int Major = 2;
constexpr int Minor = 0;
constexpr int Revision = 15;

QLabel* label(const QString& name, const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}
} // namespace

frmAbout::frmAbout(QObject* mailControl, QWidget* parent)
    : QDialog(parent)
    , m_lblTitle(label(QStringLiteral("lblTitle"), programVersionLine(), this))
    , m_lblArray0(label(QStringLiteral("lblArray0"), mailControlLine(mailControl), this)) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(AppInfo::Title + QStringLiteral(" - About"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto* picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(productPicture(64));
    picIcon->setAlignment(Qt::AlignTop);

    QFont titleFont = m_lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    titleFont.setBold(true);
    m_lblTitle->setFont(titleFont);

    auto* lblDescription = label(QStringLiteral("lblDescription"),
                                 QStringLiteral("Network availability monitoring for the "
                                                "desktop, by the IP Orvex Monitor team."),
                                 this);
    lblDescription->setWordWrap(true);
    auto* label1 =
        label(QStringLiteral("Label1"), QStringLiteral("Uses Microsoft Agent Technology"), this);
    auto* lblDisclaimer =
        label(QStringLiteral("lblDisclaimer"),
              QStringLiteral("Report Problems and Bugs to: ") + AppInfo::Contact, this);
    lblDisclaimer->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* cmdOK = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    auto* text = new QVBoxLayout;
    text->addWidget(m_lblTitle);
    text->addWidget(m_lblArray0);
    text->addSpacing(8);
    text->addWidget(lblDescription);
    text->addWidget(label1);
    text->addStretch(1);
    auto* grid = new QGridLayout(this);
    grid->addWidget(picIcon, 0, 0);
    grid->addLayout(text, 0, 1);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    grid->addWidget(line, 1, 0, 1, 2);
    grid->addWidget(lblDisclaimer, 2, 0, 1, 2);
    grid->addWidget(buttons, 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    setMinimumWidth(420);
}

QString frmAbout::titleText() const {
    return m_lblTitle->text();
}

QString frmAbout::mailControlText() const {
    return m_lblArray0->text();
}

QString frmAbout::programVersionLine() {
    return QStringLiteral("IP Orvex Monitor Version %1.%2.%3").arg(Major).arg(Minor).arg(Revision);
}

QString frmAbout::mailControlLine(QObject* mailControl) {
    QString version;
    if (mailControl)
        QMetaObject::invokeMethod(mailControl, "Version", Qt::DirectConnection,
                                  Q_RETURN_ARG(QString, version));
    return QStringLiteral("Orvex SMTP Control Ver: ") + version;
}
