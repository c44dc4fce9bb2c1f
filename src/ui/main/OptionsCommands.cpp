#include "ui/main/OptionsCommands.h"

#include "report/Assistant.h"
#include "ui/dialogs/frmOptions.h"

#include <QWidget>

OptionsCommands::OptionsCommands(AppContext& context, QWidget* window)
    : QObject(window)
    , m_context(context)
    , m_window(window) {}

void OptionsCommands::mnuViewOptions_Click() {
    // The tray menu or the toolbar may ask again while the dialog is up.
    if (m_showing || !m_assistant)
        return;
    m_showing = true;
    frmOptions options(m_context, *m_assistant, m_window);
    options.exec();
    m_showing = false;
}
