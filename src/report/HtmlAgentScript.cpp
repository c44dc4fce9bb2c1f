#include "report/HtmlAgentScript.h"

#include "core/AppContext.h"
#include "core/ErrorTrap.h"
#include "report/HtmlText.h"

namespace {
const QString CRLF = QStringLiteral("\r\n");
const QChar Q = QLatin1Char('"');

QString quoted(const QString& scriptText) {
    return Q + scriptText + Q;
}

QString play(const char* animation) {
    return QStringLiteral("AgentChar.Play ") + quoted(QLatin1String(animation)) + CRLF;
}

// A Speak statement whose argument is already a script expression.
QString speakExpression(const QString& expression) {
    return QStringLiteral("AgentChar.Speak ") + expression + CRLF;
}

QString speak(const QString& text) {
    return speakExpression(quoted(HtmlText::scriptString(text)));
}
} // namespace

HtmlAgentScript::HtmlAgentScript(AppContext& context)
    : m_context(context) {}

QString HtmlAgentScript::mapTagExpression(const QString& name) {
    QString spoken = name;
    spoken.replace(QLatin1Char('.'), QStringLiteral("\\pau=50\\ dot \\pau=25\\"));
    const QString chr34 = QStringLiteral(" + Chr(34) + ");
    return quoted(QStringLiteral("\\map=")) + chr34 + quoted(HtmlText::scriptString(spoken)) +
           chr34 + quoted(QStringLiteral("=")) + chr34 + quoted(HtmlText::scriptString(name)) +
           chr34 + Q + QLatin1Char('\\');
}

QString HtmlAgentScript::HTML_Agent(const FailureList& failures, const RecoveryList& recoveries) {
    if (failures.isEmpty() && recoveries.isEmpty())
        return QStringLiteral("'' No Activity To Announce");

    QString result;
    if (!trapErrors(m_context, "HTML_Agent", [&] { result = script(failures, recoveries); }))
        return {};
    return result;
}

QString HtmlAgentScript::script(const FailureList& failures, const RecoveryList& recoveries) {
    const bool talk = m_context.catalogue().showHtmlCharacter();

    QString text = CRLF + QStringLiteral("On Error Resume Next") + CRLF +
                   QStringLiteral("AgentChar.Show") + CRLF + play("Explain");
    if (talk) {
        const QDateTime now = m_context.clock().now();
        text +=
            speak(QStringLiteral("The date is ") + Clock::longDate(now.date()) + QLatin1Char('.'));
        text +=
            speak(QStringLiteral("The time is ") + Clock::shortTime(now.time()) + QLatin1Char('.'));
    }
    if (!failures.isEmpty() && talk) {
        text += play("Surprised");
        text += speak(QStringLiteral("There was a problem connecting to the following devices:  "));
        for (const FailureNotice& failure : failures) {
            text += speakExpression(mapTagExpression(failure.name) +
                                    HtmlText::scriptString(QStringLiteral(" port ") + failure.port +
                                                           QStringLiteral(" because ") +
                                                           failure.errorText +
                                                           QStringLiteral(".\\pau=800\\")) +
                                    Q);
        }
    }
    if (!recoveries.isEmpty() && talk) {
        text += play("Pleased");
        text += speak(QStringLiteral("The following devices have recovered:  "));
        for (const RecoveryNotice& recovery : recoveries) {
            text +=
                speakExpression(mapTagExpression(recovery.name) +
                                HtmlText::scriptString(QStringLiteral(" port ") + recovery.port +
                                                       QStringLiteral(".\\pau=800\\")) +
                                Q);
        }
    }
    return text + CRLF + QStringLiteral("AgentChar.Hide") + CRLF;
}
