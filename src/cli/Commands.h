#pragma once

#include "AdapterSession.h"
#include "Output.h"
#include "Texts.h"

#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <variant>

// What every command gets: its arguments, the options of the command line
// and where to write.
struct Context {
    Output &output;
    const QCommandLineParser &parser;
    QStringList arguments;    // after the command name
    QStringList serials;      // --adapter
    int alignmentUnit = 1;    // --alignment, else setByte.ini (SettingsFiles)
    bool simulated = false;   // --bus: the virtual adapter
    // Set while a command talks to an adapter, so that an interruption reaches it.
    std::function<void(AdapterSession *)> setSession;
    std::function<bool()> interrupted;
    // Set while a command waits for something other than a session (an
    // answer, upgrades in their threads): called when the user interrupts.
    std::function<void(std::function<void()>)> setInterruptHandler;
    // Standard input, for questions: its descriptor (-1: none) and whether
    // a user sits at it.
    int inputFd = -1;
    bool inputIsTerminal = false;
};

struct OptionSpec {
    QStringList names;
    QString valueName; // empty: a switch
    QString description;
};

struct CommandSpec {
    QString name;
    QString synopsis; // arguments and options after the name
    QString summary;  // one line for the command list
    QString description;
    QList<OptionSpec> options;
    QStringList arguments; // "NAME  what it is"
    QStringList examples;
    int minArguments = 0;
    int maxArguments = 0; // -1: any number
    std::function<int(Context &)> run;
};

// Every command, in the order the help lists them.
const QList<CommandSpec> &commandTable();
const CommandSpec *findCommand(const QString &name);

// The commands, one function each.
namespace commands {
int list(Context &ctx);
int show(Context &ctx);
int watch(Context &ctx);
int setStation(Context &ctx);
int setIo(Context &ctx);
int setParam(Context &ctx);
int clear(Context &ctx);
int lamp(Context &ctx);
int allocate(Context &ctx);
int repairStations(Context &ctx);
int download(Context &ctx);
int store(Context &ctx);
int settings(Context &ctx);
int force(Context &ctx);
int exportCsv(Context &ctx);
int importCsv(Context &ctx);
int diff(Context &ctx);
int checkout(Context &ctx);
int upgrade(Context &ctx);
int descriptions(Context &ctx);
int addDescription(Context &ctx);
} // namespace commands

// Shared steps of the commands that talk to an adapter.
namespace session {

// The adapters a command works on: those named with --adapter (each once,
// and only one unless the command takes several), else every adapter on
// USB for All, else the only one. An error when a named adapter or any
// adapter is missing, or when there are several to choose from.
enum class Choice { One, Several, All };
std::variant<QList<UsbDeviceInfo>, CliError> chooseAdapters(const Context &ctx, Choice choice);

// Why no adapter could be opened when the user may not open their devices
// (HidAccess), naming the udev rule; empty otherwise.
QString accessProblem();

// The device descriptions, from the data folders the window reads them
// from (DataFolders); loaded once.
void loadDescriptions(Context &ctx);

// Loads the device descriptions, picks the adapter (--adapter, or the only
// one on USB), opens a session and runs body on it; closes the session
// whatever happens. The exit status is body's, or the failure's.
int withAdapter(Context &ctx, const std::function<int(AdapterSession &)> &body);

// The exit status for a session whose work has been asked and synced: 1
// with every failure the adapter reported, else success (0).
int finish(Context &ctx, AdapterSession &session, AdapterSession::Wait wait);

// The exit status for work that ends with the adapter restarting, once it
// has been asked and synced: the link the adapter drops then is no failure.
// Failures reported before the report (confirmType, confirmErr) that
// confirms the work count; without that report the work failed
// (unconfirmed says so).
int finishBeforeRestart(Context &ctx, AdapterSession &session, AdapterSession::Wait wait, adapter_message_type confirmType,
                        int confirmErr, const QString &unconfirmed);

// The tool's message for a failure the adapter reported, with its class:
// "修改从站站号失败: 适配器拒绝执行! (refused by the adapter)".
QString failureText(const AdapterSession::Report &report);

// Reports the adapter's failures (the tool's messages) and returns 1.
int busFailure(Context &ctx, const QList<AdapterSession::Report> &failures, const QString &fallback = QString());

// Waits for the adapter to come back from the restart that work confirmed by
// (confirmType, confirmErr) began, until arrived() holds. The exit status as
// finishBeforeRestart gives it; 1 also when the adapter is not read back in
// time (unreadable says so).
// progress is shown meanwhile.
int awaitReadBack(Context &ctx, AdapterSession &session, const QString &progress, adapter_message_type confirmType,
                  int confirmErr, const QString &unconfirmed, const std::function<bool()> &arrived,
                  const QString &unreadable);
// Reports what the adapter, read back after its restart, does not hold as
// written; 1 when there is any, else 0.
int readBackStatus(Context &ctx, const QStringList &differences);

// Said when force mode could not be left.
inline QString forceNotLeft()
{
    return Texts::tr("could not leave force mode: the outputs may still be forced");
}

} // namespace session

namespace appcore::ConfigCsv {
struct Problem;
}

namespace configuration {
// Reports the problems of a configuration file, each naming its line and
// field; returns 2.
int reportFileProblems(Context &ctx, const QString &path, const QList<appcore::ConfigCsv::Problem> &problems);
// Writes the configuration the session's slave records hold to the adapter
// (the window's download), refusing with conflictStatus when modules share
// bits. Prints nothing on success.
int download(Context &ctx, AdapterSession &s, int conflictStatus);
} // namespace configuration
