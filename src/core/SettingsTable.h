#pragma once

#include "core/Paths.h"
#include "core/SettingReaders.h"

#include <QString>

namespace Section {
inline const QString Startup = QStringLiteral("Startup");
inline const QString SettingsSection = QStringLiteral("Settings");
inline const QString Options = QStringLiteral("Options");
inline const QString MailOptions = QStringLiteral("Mail Options");
inline const QString MSAgent = QStringLiteral("MSAgent");
inline const QString MSAgentBalloon = QStringLiteral("MSAgentBalloon");
} // namespace Section

namespace FileName {
inline const QString Database = QStringLiteral("OrvexMonitor.mdb");
inline const QString Log = QStringLiteral("OrvexMonitor.txt");
inline const QString Html = QStringLiteral("OrvexMonitor.html");
inline const QString Template = QStringLiteral("template.html");
inline const QString Readme = QStringLiteral("readme.txt");
inline const QString Issues = QStringLiteral("issues.txt");
inline const QString CompactWork = QStringLiteral("Temp.mdb");
} // namespace FileName

// One row of the settings table: where a value is stored, how its stored text reads, and the
// text it reads as while nothing is stored. A row stands wherever its key's name is wanted.
template <typename T> struct Setting {
    QString section;
    QString key;
    T (*read)(const QString& text);
    // The default text; with a folder, the name of the default file in that folder. Such a path
    // is rebuilt at every read, so a value never written follows the program when it moves.
    QString def;
    QString (Paths::*folder)(const QString& name) const = nullptr;
    // A stored text the reading refuses reads as the default instead of raising its error.
    bool badTextReadsAsDefault = false;

    operator const QString&() const { return key; }
};

// Every key the program stores. Readings raise 13 "Type mismatch" on a text that is no number
// and 6 "Overflow" on one beyond its type (see SettingReaders).
namespace Key {
using SettingReaders::boolean;
using SettingReaders::flagEqualsOne;
using SettingReaders::flagNotZero;
using SettingReaders::int16;
using SettingReaders::int32;
using SettingReaders::positiveWholeNumber;
using SettingReaders::single;
using SettingReaders::text;
using SettingReaders::wholePrefix;

// clang-format off
//           reads as         name                     section                   stored key                  reading              default             default's folder
inline const Setting<QString> Database{                Section::Startup,         "Database",                 text,                FileName::Database, &Paths::inDataFolder};
inline const Setting<bool>    ShowIntro{               Section::Startup,         "ShowIntro",                flagNotZero,         "0"};
inline const Setting<bool>    ShowPortScanIntro{       Section::Startup,         "ShowPortScanIntro",        flagNotZero,         "0"};

// The main window's place and size in twips.
inline const Setting<float>   MainLeft{                Section::SettingsSection, "MainLeft",                 single,              "1000"};
inline const Setting<float>   MainTop{                 Section::SettingsSection, "MainTop",                  single,              "1000"};
inline const Setting<float>   MainWidth{               Section::SettingsSection, "MainWidth",                single,              "6500"};
inline const Setting<float>   MainHeight{              Section::SettingsSection, "MainHeight",               single,              "6500"};
inline const Setting<int>     ViewMode{                Section::SettingsSection, "ViewMode",                 wholePrefix,         "0"};

inline const Setting<bool>    AutoStart{               Section::Options,         "AutoStart",                flagEqualsOne,       "0"};
inline const Setting<qint16>  MinBetweenChecks{        Section::Options,         "Min_Between_Checks",       int16,               "5"};
// Seconds; the port checks read the text with "000" appended as milliseconds.
inline const Setting<qint32>  HostTimeOut{             Section::Options,         "HostTimeOut",              int32,               "20"};
inline const Setting<qint32>  PingTimeOut{             Section::Options,         "PingTimeOut",              int32,               "10000"};
inline const Setting<qint16>  PingCount{               Section::Options,         "PingCount",                int16,               "1"};
inline const Setting<qint16>  PingPacketSize{          Section::Options,         "PingPacketSize",           int16,               "32"};
inline const Setting<qint16>  ResetIcon{               Section::Options,         "ResetIcon",                int16,               "10"};
inline const Setting<bool>    LogFailures{             Section::Options,         "LogFailures",              flagEqualsOne,       "1"};
inline const Setting<QString> LogFile{                 Section::Options,         "LogFile",                  text,                FileName::Log,      &Paths::inDataFolder};
inline const Setting<bool>    HTMLOutput{              Section::Options,         "HTMLOutput",               flagNotZero,         "0"};
inline const Setting<QString> HTMLFile{                Section::Options,         "HTMLFile",                 text,                FileName::Html,     &Paths::inDataFolder};
inline const Setting<QString> HTMLTemplateFile{        Section::Options,         "HTMLTemplateFile",         text,                FileName::Template, &Paths::inShippedFolder};
inline const Setting<bool>    DesktopNotify{           Section::Options,         "DesktopNotify",            flagEqualsOne,       "1"};
// Days the hourly check history is kept. A wrong value must not cost the history: it reads
// as the default (the last column).
inline const Setting<int>     HistoryDays{             Section::Options,         "HistoryDays",              positiveWholeNumber, "90",               nullptr, true};
inline const Setting<bool>    FastChecks{              Section::Options,         "FastChecks",               flagEqualsOne,       "0"};

inline const Setting<bool>    SendOnFailure{           Section::MailOptions,     "SendOnFailure",            boolean,             "0"};
inline const Setting<qint16>  SendOnConsecutiveFailure{Section::MailOptions,     "SendOnConsecutiveFailure", int16,               "5"};
inline const Setting<QString> MailTo{                  Section::MailOptions,     "MailTo",                   text,                ""};
inline const Setting<QString> MailFrom{                Section::MailOptions,     "MailFrom",                 text,                ""};
inline const Setting<QString> MailServerPrimary{       Section::MailOptions,     "MailServerPrimary",        text,                ""};
inline const Setting<QString> MailServerSecondary{     Section::MailOptions,     "MailServerSecondary",      text,                ""};

inline const Setting<QString> Character{               Section::MSAgent,         "Character",                text,                "merlin"};
inline const Setting<bool>    ShowCharacter{           Section::MSAgent,         "ShowCharacter",            boolean,             "1"};
inline const Setting<bool>    AnnounceDate{            Section::MSAgent,         "AnnounceDate",             boolean,             "0"};
inline const Setting<bool>    HideCharacterOnIdle{     Section::MSAgent,         "HideCharacterOnIdle",      boolean,             "1"};
inline const Setting<bool>    ShowHTMLCharacter{       Section::MSAgent,         "ShowHTMLCharacter",        boolean,             "1"};
inline const Setting<qint16>  AgentX{                  Section::MSAgent,         "Agent-X",                  int16,               "0"};
inline const Setting<qint16>  AgentY{                  Section::MSAgent,         "Agent-Y",                  int16,               "0"};

inline const Setting<bool>    BalloonShow{             Section::MSAgentBalloon,  "BalloonShow",              flagNotZero,         "1"};
inline const Setting<bool>    AutoHide{                Section::MSAgentBalloon,  "AutoHide",                 flagNotZero,         "1"};
inline const Setting<bool>    AutoPace{                Section::MSAgentBalloon,  "AutoPace",                 flagNotZero,         "1"};
inline const Setting<bool>    SizeToText{              Section::MSAgentBalloon,  "SizeToText",               flagNotZero,         "1"};
// clang-format on
} // namespace Key
