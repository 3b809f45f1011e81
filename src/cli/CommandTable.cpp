// Every command with its arguments, options, help and example.

#include "Commands.h"

#include "Language.h"
#include "Texts.h"

#include <QCoreApplication>
#include <QMap>

namespace {

QList<CommandSpec> buildTable()
{
    QList<CommandSpec> table;
    const auto add = [&table](CommandSpec spec) { table.append(std::move(spec)); };

    add({QStringLiteral("list"), QString(), Texts::tr("the adapters on USB"),
         Texts::tr("Lists the TarnBUS adapters attached to USB: serial number (the adapter's MAC), product text,\n"
                        "manufacturer and USB release. Does not connect to them."),
         {}, {}, {QStringLiteral("tarnbus-cli list --json")}, 0, 0, commands::list});

    add({QStringLiteral("show"), QStringLiteral("[--stats]"), Texts::tr("identity, settings, power and the module table"),
         Texts::tr("Connects, reads the bus and prints the adapter's identity, settings, power and temperature, and\n"
                        "one row per module: station, type, class, UID, input and output areas (bit addresses),\n"
                        "state byte and the fault flags that read abnormal. With --stats also the link's counters\n"
                        "of this connection: transactions, time-outs, checksum errors, error reports, refusals,\n"
                        "incomplete replies, reconnects and the round trip (last, mean, max)."),
         {{{QStringLiteral("stats")}, QString(), Texts::tr("also the link's counters")}},
         {}, {QStringLiteral("tarnbus-cli --adapter 3C2E0A000001 show"), QStringLiteral("tarnbus-cli show --stats --json")}, 0, 0,
         commands::show});

    add({QStringLiteral("watch"), QStringLiteral("[--seconds N]"), Texts::tr("print every change of the bus"),
         Texts::tr("Connects and polls the bus; prints one time-stamped line for every module added, gone or back,\n"
                        "every change of station, state or faults, and every loss and return of the link, until\n"
                        "Ctrl-C or N seconds. With --json one JSON object per line, and once a second the link's\n"
                        "counters (event \"link statistics\")."),
         {{{QStringLiteral("seconds")}, QStringLiteral("N"), Texts::tr("stop after N seconds")}},
         {}, {QStringLiteral("tarnbus-cli watch --seconds 60")}, 0, 0, commands::watch});

    add({QStringLiteral("set-station"), QStringLiteral("UID STATION"), Texts::tr("give a module a station number"),
         Texts::tr("Gives the module with this UID (as show prints it) the station number, 1 to 128. A station\n"
                        "another module is configured to is refused before anything is written."),
         {}, {Texts::tr("UID       the module, as show prints it (or a station it alone has)"),
              Texts::tr("STATION   the new station number, 1 to 128")},
         {QStringLiteral("tarnbus-cli set-station DA01B2C3D40D 14")}, 2, 2, commands::setStation});

    add({QStringLiteral("set-io"), QStringLiteral("STATION [--in START[:CHANNELS]] [--out START[:CHANNELS]]"),
         Texts::tr("move a module's input or output area"),
         Texts::tr("Places the module's input and/or output area at a bit address of the 512-bit process image,\n"
                        "optionally with another channel count (modules whose count can change only). Areas past\n"
                        "bit 512 or over another module's area are refused before anything is written."),
         {{{QStringLiteral("in")}, QStringLiteral("START[:CHANNELS]"), Texts::tr("input area: first bit, channels")},
          {{QStringLiteral("out")}, QStringLiteral("START[:CHANNELS]"), Texts::tr("output area: first bit, channels")}},
         {Texts::tr("STATION   the module: station number or UID")},
         {QStringLiteral("tarnbus-cli set-io 3 --in 400")}, 1, 1, commands::setIo});

    add({QStringLiteral("set-param"), QStringLiteral("STATION NAME=VALUE..."), Texts::tr("set a module's parameters"),
         Texts::tr("Sets parameters named as in the module's description (its configuration items, for example\n"
                        "\"Filter level\"). VALUE is a number or one of the parameter's value texts."),
         {}, {Texts::tr("STATION      the module: station number or UID"),
              Texts::tr("NAME=VALUE   a parameter and its new value; quote names with blanks")},
         {QStringLiteral("tarnbus-cli set-param 3 \"Filter level=2\"")}, 2, -1, commands::setParam});

    add({QStringLiteral("clear"), QStringLiteral("STATION"), Texts::tr("clear a module's station and areas"),
         Texts::tr("Clears the module's configuration: it is left without station and without areas."), {},
         {Texts::tr("STATION   the module: station number or UID")}, {QStringLiteral("tarnbus-cli clear 5")}, 1, 1,
         commands::clear});

    add({QStringLiteral("allocate"), QString(), Texts::tr("allocate every module's addresses"),
         Texts::tr("Places every module's areas one after another, analog modules first, in the alignment of\n"
                        "--alignment or the window's setting (setByte.ini). Modules that do not fit keep their areas."),
         {}, {}, {QStringLiteral("tarnbus-cli --alignment 8 allocate")}, 0, 0, commands::allocate});

    add({QStringLiteral("repair-stations"), QString(), Texts::tr("new numbers for repeated stations"),
         Texts::tr("Gives the modules the adapter reports with a repeated (or no) station number the lowest\n"
                        "numbers no other module uses alone, as the window's repair does."),
         {}, {}, {QStringLiteral("tarnbus-cli repair-stations")}, 0, 0, commands::repairStations});

    add({QStringLiteral("download"), QString(), Texts::tr("write the configuration to every module"),
         Texts::tr("Writes every module's station, areas and parameters to the adapter (the window's configuration\n"
                        "download). Refused when modules share bits."),
         {}, {}, {QStringLiteral("tarnbus-cli download")}, 0, 0, commands::download});

    add({QStringLiteral("store"), QString(), Texts::tr("save the configuration in the adapter"),
         Texts::tr("Stores the configuration in the adapter, which then restarts."), {}, {},
         {QStringLiteral("tarnbus-cli store")}, 0, 0, commands::store});

    add({QStringLiteral("settings"), QStringLiteral("[NAME=VALUE...]"), Texts::tr("show or change the adapter's settings"),
         Texts::tr("Without arguments shows the adapter's settings. With NAME=VALUE pairs changes them and writes\n"
                        "them; the adapter then restarts (about six seconds). NAME is a setting's name as shown or its\n"
                        "short name: di-filter (off|on), auto-reset (off|on), output-on-error (clear|hold),\n"
                        "station-mode (strict|free), threshold (201-2999). VALUE is an option as shown, its short\n"
                        "word or its number. Every pair is checked before anything is written; settings that do not\n"
                        "change are not written."),
         {}, {Texts::tr("NAME=VALUE  a setting and its new value")},
         {QStringLiteral("tarnbus-cli settings"), QStringLiteral("tarnbus-cli settings di-filter=on threshold=1500")}, 0, -1,
         commands::settings});

    add({QStringLiteral("lamp"), QStringLiteral("STATION on|off"), Texts::tr("switch a module's locating lamp"),
         Texts::tr("Switches the locating lamp of the module on or off."), {},
         {Texts::tr("STATION   the module: station number or UID"), Texts::tr("on|off    the lamp's new state")},
         {QStringLiteral("tarnbus-cli lamp 7 on")}, 2, 2, commands::lamp});

    add({QStringLiteral("force"), QStringLiteral("--set STATION:CHANNEL=VALUE... [--hold SECONDS]"),
         Texts::tr("force outputs, read inputs back"),
         Texts::tr("Enters force mode, writes the outputs, prints the inputs as every process-data cycle reads\n"
                        "them, and leaves force mode at the end, also on Ctrl-C. Without --hold it runs until every\n"
                        "module's inputs have come round once. VALUE is a number, on or off."),
         {{{QStringLiteral("set")}, QStringLiteral("STATION:CHANNEL=VALUE"), Texts::tr("an output to write; repeatable")},
          {{QStringLiteral("hold")}, QStringLiteral("SECONDS"), Texts::tr("keep forcing this long (Ctrl-C ends it earlier)")}},
         {}, {QStringLiteral("tarnbus-cli force --set 2:0=1 --set 2:1=on --hold 10")}, 0, 0, commands::force});

    add({QStringLiteral("export"), QStringLiteral("FILE [--uid]"), Texts::tr("write the configuration file"),
         Texts::tr("Writes the configuration of every module to FILE in the window's format (GB18030). With --uid\n"
                        "each line names its module by UID; without, by station (the adapter's own module by its\n"
                        "type; other modules without a station cannot be named, and import skips their lines)."),
         {{{QStringLiteral("uid")}, QString(), Texts::tr("name the modules by UID")}},
         {Texts::tr("FILE   the file to write; replaced only once it is complete")},
         {QStringLiteral("tarnbus-cli export bus.csv --uid")}, 1, 1, commands::exportCsv});

    add({QStringLiteral("import"), QStringLiteral("FILE [--apply]"), Texts::tr("check or apply a configuration file"),
         Texts::tr("Checks every line of FILE (the window's format, UTF-8 or GB18030) and matches each to a module\n"
                        "of the bus. With --apply the configuration is then written to the adapter; without, nothing\n"
                        "is written. A bad line or a line without module writes nothing. A line without UID at\n"
                        "station 0 that is not the adapter's own module's is reported and skipped."),
         {{{QStringLiteral("apply")}, QString(), Texts::tr("write the configuration to the adapter")}},
         {Texts::tr("FILE   a configuration file written by export or by the window")},
         {QStringLiteral("tarnbus-cli import bus.csv --apply")}, 1, 1, commands::importCsv});

    add({QStringLiteral("diff"), QStringLiteral("FILE [--all] [--apply]"),
         Texts::tr("compare a configuration file with the bus"),
         Texts::tr("Compares FILE (the window's configuration file, with or without UIDs) with the modules on the\n"
                        "bus, module by module: matched by UID where both have one, else by station; a station held\n"
                        "twice and a line without station and UID are reported as ambiguous, never guessed. Prints the\n"
                        "rows that differ (every row with --all): the fields that differ (type, station, input and output\n"
                        "start and channels, parameters), modules missing on the bus, extra on it, of another type.\n"
                        "With --apply the differing modules are written (station, areas, parameters), each refusal\n"
                        "reported for its module, and the bus is read and compared again.\n"
                        "Exit status: 0 the same, 3 differences, 1 a failure on the bus (or a write not taken), 2 a bad\n"
                        "file."),
         {{{QStringLiteral("all")}, QString(), Texts::tr("every row, the same ones too")},
          {{QStringLiteral("apply")}, QString(), Texts::tr("write the differing modules, then compare again")}},
         {Texts::tr("FILE   a configuration file written by export or by the window")},
         {QStringLiteral("tarnbus-cli diff bus.csv"), QStringLiteral("tarnbus-cli diff bus.csv --apply")}, 1, 1,
         commands::diff});

    add({QStringLiteral("checkout"), QStringLiteral("--wiring FILE --report OUT.pdf [--csv OUT.csv] [--site TEXT] [--engineer NAME]"),
         Texts::tr("verify wired loops and write the IO check-out report"),
         Texts::tr("The IO check-out of the adapter, as the window's \"IO检查\" keeps it: one row per channel of every\n"
                        "module with an IO area. The wiring map FILE (CSV: the header \"output,input\", then one loop per\n"
                        "line, each side STATION:CHANNEL or UID:CHANNEL, channels from 0) names outputs wired back to\n"
                        "inputs; each such loop is verified in force mode: the output on, its input must follow, the\n"
                        "output off, the input must follow again. Only the output under test is ever on, and every ending\n"
                        "(done, Ctrl-C, the link lost) switches it off and leaves force mode. The results are saved after\n"
                        "every loop in the user's data folder, by adapter serial and module UIDs, so that a run that\n"
                        "stopped goes on at the next open loop (--fresh starts over). The report (PDF: cover, a table per\n"
                        "module, summary, signature line) holds every channel, those checked in the window too.\n"
                        "Exit status: 0 every loop passed, 3 a loop failed or is open, 1 a failure on the bus (or the\n"
                        "report could not be written), 2 a bad wiring map (nothing is switched)."),
         {{{QStringLiteral("wiring")}, QStringLiteral("FILE"), Texts::tr("the wiring map (CSV: output,input)")},
          {{QStringLiteral("report")}, QStringLiteral("OUT.pdf"), Texts::tr("the report to write; replaced only once complete")},
          {{QStringLiteral("csv")}, QStringLiteral("OUT.csv"), Texts::tr("the rows as CSV as well")},
          {{QStringLiteral("site")}, QStringLiteral("TEXT"), Texts::tr("the site or project the report names")},
          {{QStringLiteral("engineer")}, QStringLiteral("NAME"), Texts::tr("who checks, named on the report and each row")},
          {{QStringLiteral("settle")}, QStringLiteral("MS"), Texts::tr("how long an input may take to follow its output (1500)")},
          {{QStringLiteral("fresh")}, QString(), Texts::tr("forget the results saved for this adapter and start over")}},
         {},
         {QStringLiteral("tarnbus-cli checkout --wiring rig.csv --report checkout.pdf --csv checkout.csv"),
          QStringLiteral("tarnbus-cli checkout --wiring rig.csv --report checkout.pdf --site \"Line 3\" --engineer \"Li Wei\"")},
         0, 0, commands::checkout});

    add({QStringLiteral("upgrade"), QStringLiteral("FILE [--adapter SERIAL]... [--all] [--yes] [--any-category]"),
         Texts::tr("upgrade the firmware of adapters"),
         Texts::tr("Checks the upgrade file (both CRC-32s, the body length) before any adapter is touched, reads\n"
                        "each chosen adapter's versions and compares the file's version with its App version, part by\n"
                        "part as numbers. A file whose category is not the adapter's type is refused (status 2) unless\n"
                        "--any-category. Before the same version or a downgrade it asks, unless --yes; with no terminal\n"
                        "to ask on it refuses (status 2). Then it upgrades every chosen adapter at once, each in a thread\n"
                        "of its own, and reads the version each runs after its restart: one back with another version\n"
                        "than the file's, or not back in time, failed. Give --adapter once for each adapter, or --all.\n"
                        "Ctrl-C cancels every upgrade; an adapter interrupted during the transfer stays in its boot\n"
                        "loader and can be upgraded again."),
         {{{QStringLiteral("all")}, QString(), Texts::tr("every adapter on USB")},
          {{QStringLiteral("yes")}, QString(), Texts::tr("do not ask before a downgrade or the same version")},
          {{QStringLiteral("any-category")}, QString(),
           Texts::tr("write the file also to adapters whose type is not the file's category")}},
         {Texts::tr("FILE   the upgrade file (.dec)")},
         {QStringLiteral("tarnbus-cli upgrade firmware.dec --adapter 3C2E0A000011 --adapter 3C2E0A000013"),
          QStringLiteral("tarnbus-cli upgrade firmware.dec --all --yes")},
         1, 1, commands::upgrade});

    add({QStringLiteral("descriptions"), QString(), Texts::tr("the device descriptions the tool reads"),
         Texts::tr("Lists the device description files in the order they are read, with the number of module types\n"
            "each describes: the user's data folder (~/.local/share/tarnbus-tester/Xml) first, then the\n"
            "system's (/usr/share/tarnbus-tester/Xml), the working folder's ./Xml and share/tarnbus-tester\n"
            "beside the program. A file hides those of the same name after it. Does not talk to an adapter."),
         {}, {}, {QStringLiteral("tarnbus-cli descriptions --json")}, 0, 0, commands::descriptions});

    add({QStringLiteral("add-description"), QStringLiteral("FILE"), Texts::tr("import a device description"),
         Texts::tr("Imports a device description file (plain or scrambled) into the user's data folder, as the\n"
            "window's \"导入XML文件\" does: under its name up to the first \".\" (io.module.rev.xml becomes\n"
            "io.xml), replacing the user's file of that name and hiding a shipped one. A file that is not\n"
            "well-formed or describes no module is refused (status 2) and nothing is written. Does not talk\n"
            "to an adapter."),
         {}, {Texts::tr("FILE   the description file (.xml)")},
         {QStringLiteral("tarnbus-cli add-description TarnBUS-Extra.xml")}, 1, 1, commands::addDescription});
    return table;
}

} // namespace

const QList<CommandSpec> &commandTable()
{
    // One table per language: its texts are translated when it is built.
    static QMap<Language::Choice, QList<CommandSpec>> tables;
    const Language::Choice language = Language::current();
    if (!tables.contains(language))
        tables.insert(language, buildTable());
    return tables[language];
}

const CommandSpec *findCommand(const QString &name)
{
    for (const CommandSpec &spec : commandTable()) {
        if (spec.name == name)
            return &spec;
    }
    return nullptr;
}
