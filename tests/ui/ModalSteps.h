#pragma once

#include <functional>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTest>
#include <QTimer>

// Drives modal dialogs: a step runs on the next modal dialog of its type once it is up.
// A step that opens a further modal dialog returns only when that one has closed, so the
// poll for the next step is scheduled before a step runs. A failed check, a dialog that never
// comes or one no step expects is closed, so a broken test fails instead of hanging.
class ModalSteps final : public QObject {
public:
    template <typename Dialog> ModalSteps& on(std::function<void(Dialog&)> step) {
        // Called with a null target it only says whether the dialog is of its type.
        m_steps.append([step](QWidget* target, QWidget* modal) {
            auto* dialog = qobject_cast<Dialog*>(modal);
            if (dialog && target)
                step(*dialog);
            return dialog != nullptr;
        });
        return *this;
    }

    // Runs the command that opens the first dialog; returns when the command has returned.
    void run(const std::function<void()>& command) {
        m_running = true;
        m_clock.start();
        schedule();
        command();
        m_running = false;
        closeAll();
    }

    bool allRan() const { return m_steps.isEmpty(); }
    int ran() const { return m_ran; }
    // Dialogs that came up when no step was left for them, or that no step took in time.
    int unexpected() const { return m_unexpected; }

private:
    void schedule() { QTimer::singleShot(5, this, &ModalSteps::poll); }

    void poll() {
        if (!m_running)
            return;
        QWidget* modal = QApplication::activeModalWidget();
        const bool up = modal && modal->isVisible();
        if (up && (m_steps.isEmpty() || m_clock.hasExpired(10000))) {
            ++m_unexpected;
            closeAll();
        }
        schedule();
        if (!up || m_steps.isEmpty())
            return;
        // The first step waiting for a dialog of this type takes it.
        for (qsizetype i = 0; i < m_steps.size(); ++i) {
            auto step = m_steps.at(i);
            if (!step(nullptr, modal))
                continue;
            m_steps.removeAt(i);
            ++m_ran;
            m_clock.restart();
            step(modal, modal);
            if (QTest::currentTestFailed())
                closeAll();
            return;
        }
    }

    static void closeAll() {
        while (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->done(QDialog::Rejected);
    }

    QList<std::function<bool(QWidget*, QWidget*)>> m_steps;
    int m_ran = 0;
    QElapsedTimer m_clock;
    bool m_running = false;
    int m_unexpected = 0;
};
