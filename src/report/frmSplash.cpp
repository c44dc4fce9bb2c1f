#include "report/frmSplash.h"

#include "report/ProductPicture.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace {
constexpr int Major = 2;
constexpr int Minor = 0;
constexpr int Revision = 15;
} // namespace

// Not kept above other windows: the start-up messages appear while it is up and must not end
// up hidden behind it.
frmSplash::frmSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
    , m_label1(new QLabel(tr("Loading Program")))
    , m_version(new QLabel(version())) {
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::StrongFocus);

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setFrameShape(QFrame::Box);
    frame->setStyleSheet(QStringLiteral(
        "#Frame1 { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, "
        "stop:1 #e3ebf5); border: 1px solid #5b7fa8; }"));
    // Clicks on the labels fall through to the frame.
    frame->setAttribute(Qt::WA_TransparentForMouseEvents);

    auto* picture = new QLabel;
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setPixmap(productPicture(96));

    auto* product = new QLabel(tr("IP Orvex Monitor"));
    product->setObjectName(QStringLiteral("lblCompanyProduct"));
    product->setStyleSheet(QStringLiteral("font-size: 22pt; font-weight: bold; color: #17375e;"));
    m_version->setObjectName(QStringLiteral("lblVersion"));
    m_version->setStyleSheet(QStringLiteral("font-size: 11pt; color: #34495e;"));
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setStyleSheet(QStringLiteral("font-size: 10pt; color: #1f4e8c;"));
    auto* label2 = new QLabel(tr("Uses Microsoft Agent Technology"));
    label2->setObjectName(QStringLiteral("Label2"));
    label2->setStyleSheet(QStringLiteral("font-size: 8pt; color: #6b7785;"));

    auto* text = new QVBoxLayout;
    text->addWidget(product);
    text->addWidget(m_version);
    text->addStretch();
    text->addWidget(m_label1);
    text->addWidget(label2);

    auto* inner = new QHBoxLayout(frame);
    inner->setContentsMargins(24, 24, 32, 20);
    inner->setSpacing(24);
    inner->addWidget(picture, 0, Qt::AlignTop);
    inner->addLayout(text);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
    setFixedSize(460, 190);
}

QString frmSplash::version() {
    return QStringLiteral("Version %1.%2 Build %3").arg(Major).arg(Minor).arg(Revision);
}

void frmSplash::setProgress(const QString& text) {
    m_label1->setText(text);
    m_label1->repaint();
}

QString frmSplash::progress() const {
    return m_label1->text();
}

QString frmSplash::versionText() const {
    return m_version->text();
}

void frmSplash::keyPressEvent(QKeyEvent* event) {
    event->accept();
    close();
}

void frmSplash::mousePressEvent(QMouseEvent* event) {
    event->accept();
    close();
}
