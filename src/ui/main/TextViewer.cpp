#include "ui/main/TextViewer.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QtMath>
#include <QVBoxLayout>

namespace {
// Room for the shipped texts' lines and a log line's date and kind before its text.
constexpr int Columns = 100;
constexpr int Lines = 32;
} // namespace

TextViewer::TextViewer(const QString& path, QWidget* owner)
    : QDialog(owner)
    , m_path(path)
    , m_text(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("frmTextViewer"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QFileInfo(path).fileName());
    m_text->setObjectName(QStringLiteral("txtFile"));
    m_text->setReadOnly(true);
    m_text->setUndoRedoEnabled(false);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    // Without a desktop theme the fixed font is the ordinary one; the font names still know.
    const QFontMetrics letters(fixed);
    if (letters.horizontalAdvance(QLatin1Char('i')) !=
        letters.horizontalAdvance(QLatin1Char('M'))) {
        fixed.setFamilies({QStringLiteral("monospace")});
        fixed.setStyleHint(QFont::TypeWriter);
    }
    m_text->setFont(fixed);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text, 1);
    layout->addWidget(buttons);

    const QFontMetricsF metrics(m_text->font());
    const int edges = 2 * (m_text->frameWidth() + qCeil(m_text->document()->documentMargin()));
    const QMargins margins = layout->contentsMargins();
    QSize size(qCeil(metrics.horizontalAdvance(QString(Columns, QLatin1Char('M')))) + edges +
                   m_text->verticalScrollBar()->sizeHint().width() + margins.left() +
                   margins.right(),
               qCeil(metrics.lineSpacing() * Lines) + edges + layout->spacing() +
                   buttons->sizeHint().height() + margins.top() + margins.bottom());
    if (const QScreen* shown = owner ? owner->screen() : screen())
        size = size.boundedTo(shown->availableGeometry().size() * 0.9);
    resize(size);
}

bool TextViewer::showFile(const QString& path, QWidget* owner) {
    TextViewer* viewer = nullptr;
    const QList<TextViewer*> open =
        owner ? owner->findChildren<TextViewer*>(Qt::FindDirectChildrenOnly) : QList<TextViewer*>();
    for (TextViewer* candidate : open)
        if (QFileInfo(candidate->path()) == QFileInfo(path))
            viewer = candidate;
    const bool fresh = !viewer;
    if (fresh)
        viewer = new TextViewer(path, owner);
    if (!viewer->load()) {
        if (fresh)
            delete viewer;
        return false;
    }
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
    return true;
}

bool TextViewer::load() {
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    m_text->setPlainText(text);
    return true;
}
