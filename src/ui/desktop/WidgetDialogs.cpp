#include "ui/desktop/WidgetDialogs.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {
QMessageBox::Icon toBoxIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QString shownText(const QString& text) {
    QString shown = text;
    return shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// Keeps a box above the windows that appear while it is open. The character and its word
// balloon keep themselves above other windows and show up when their speech begins, which is
// after the box of an error report has opened.
class StayAbove final : public QObject {
public:
    explicit StayAbove(QWidget& box)
        : QObject(&box)
        , m_box(box) {
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
        QCoreApplication::instance()->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched != &m_box && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow())
            QMetaObject::invokeMethod(&m_box, &QWidget::raise, Qt::QueuedConnection);
        return false;
    }

private:
    QWidget& m_box;
};
} // namespace

void WidgetDialogs::message(const QString& text, MessageIcon icon, const QString& caption) {
    QMessageBox box(toBoxIcon(icon), caption, shownText(text), QMessageBox::Ok, m_parent);
    // Texts name devices and files; none of them is markup.
    box.setTextFormat(Qt::PlainText);
    // A critical message ends the program: nothing may hide it.
    if (icon == MessageIcon::Critical)
        new StayAbove(box);
    box.exec();
}

bool WidgetDialogs::askYesNo(const QString& text, const QString& caption, MessageIcon icon) {
    QMessageBox box(toBoxIcon(icon), caption, shownText(text), QMessageBox::Yes | QMessageBox::No,
                    m_parent);
    box.setTextFormat(Qt::PlainText);
    return box.exec() == QMessageBox::Yes;
}

QString WidgetDialogs::openFileName(const FileDialogRequest& request) {
    return QFileDialog::getOpenFileName(m_parent, request.title,
                                        request.folder + QLatin1Char('/') + request.fileName,
                                        request.filter);
}

QString WidgetDialogs::saveFileName(const FileDialogRequest& request) {
    // The command asks about overwriting itself.
    return QFileDialog::getSaveFileName(m_parent, request.title,
                                        request.folder + QLatin1Char('/') + request.fileName,
                                        request.filter, nullptr, QFileDialog::DontConfirmOverwrite);
}

QUrl DesktopShell::urlOf(const QString& target) {
    // A "file://" target names a local path as it is: "#" or "?" in it are not a fragment
    // or a query.
    const QString filePrefix = QStringLiteral("file://");
    if (target.startsWith(filePrefix, Qt::CaseInsensitive))
        return QUrl::fromLocalFile(target.mid(filePrefix.size()));
    return QUrl::fromUserInput(target);
}

bool DesktopShell::open(const QString& target) {
    const QUrl url = urlOf(target);
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    // Qt hands the address to the opener and counts it as opened once the opener has started;
    // watching the opener's exit tells a desktop with no handler for it apart.
    if (opener.isEmpty() || !m_cannotOpen)
        return QDesktopServices::openUrl(url);
    auto* process = new QProcess;
    const auto failed = [this, process, target] {
        m_cannotOpen(target);
        process->deleteLater();
    };
    QObject::connect(process, &QProcess::finished, process,
                     [process, failed](int code, QProcess::ExitStatus status) {
                         if (status != QProcess::NormalExit || code != 0)
                             failed();
                         else
                             process->deleteLater();
                     });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [failed](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart)
                             failed();
                     });
    process->start(opener, {url.isLocalFile() ? url.toLocalFile() : url.toString()});
    return true;
}
