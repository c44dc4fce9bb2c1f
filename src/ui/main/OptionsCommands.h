#pragma once

#include <QObject>
#include <QPointer>

class AppContext;
class Assistant;
class QWidget;

// The main window's options command ("&Options..." and the toolbar's "Options"): shows the
// options dialog modally, owned by the window. It answers once the assistant is loaded.
class OptionsCommands final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OptionsCommands)
public:
    OptionsCommands(AppContext& context, QWidget* window);

    void setAssistant(Assistant* assistant) { m_assistant = assistant; }
    void mnuViewOptions_Click();

private:
    AppContext& m_context;
    Assistant* m_assistant = nullptr;
    QPointer<QWidget> m_window;
    bool m_showing = false;
};
