#pragma once

#include <QDialog>

class QPlainTextEdit;

// A plain window that shows a text file read-only: the read-me, the known issues or the log,
// on a desktop that has no program for them. Each file has at most one such window; asking
// for it again reads the file anew and brings its window to the front.
class TextViewer final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TextViewer)

public:
    // Shows the file in a window owned by `owner`; false when the file cannot be read.
    static bool showFile(const QString& path, QWidget* owner);

    QString path() const { return m_path; }

private:
    TextViewer(const QString& path, QWidget* owner);
    bool load();

    QString m_path;
    QPlainTextEdit* m_text;
};
