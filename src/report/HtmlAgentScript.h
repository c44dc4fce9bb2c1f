#pragma once

#include "core/CycleNotices.h"

#include <QString>

class AppContext;

// The statements that make the page's own character announce the cycle. They drive an
// object the template's script creates under the name AgentChar; every text taken from a
// notice is escaped for the script's string literals.
class HtmlAgentScript final {
public:
    explicit HtmlAgentScript(AppContext& context);
    HtmlAgentScript(const HtmlAgentScript&) = delete;
    HtmlAgentScript& operator=(const HtmlAgentScript&) = delete;

    QString HTML_Agent(const FailureList& failures, const RecoveryList& recoveries);

    // The map tag that has the character say an address with "dot" and short pauses while
    // its balloon shows the address as written, as a script expression.
    static QString mapTagExpression(const QString& name);

private:
    QString script(const FailureList& failures, const RecoveryList& recoveries);

    AppContext& m_context;
};
