#include "ui/dialogs/DialogText.h"

#include <QEvent>
#include <QLineEdit>
#include <QPalette>
#include <QTextDocument>
#include <QTimer>

namespace {

class SelectAllOnFocus final : public QObject {
public:
    explicit SelectAllOnFocus(QLineEdit* box)
        : QObject(box) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) {
            auto* box = static_cast<QLineEdit*>(watched);
            // A mouse click places the caret after the focus arrives; select after it.
            QTimer::singleShot(0, box, [box] {
                if (box->hasFocus())
                    box->selectAll();
            });
        }
        return false;
    }
};

} // namespace

namespace DialogText {

void selectAllOnFocus(QLineEdit* box) {
    box->installEventFilter(new SelectAllOnFocus(box));
}

void lock(QLineEdit* box) {
    box->setReadOnly(true);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    box->setPalette(palette);
}

QString plainTip(const QString& text) {
    if (!Qt::mightBeRichText(text))
        return text;
    // Markup that keeps the text's spaces and line breaks and escapes the rest.
    return QStringLiteral("<p style=\"white-space:pre-wrap\">") + text.toHtmlEscaped() +
           QStringLiteral("</p>");
}

} // namespace DialogText
