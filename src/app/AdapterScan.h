#pragma once

#include <QList>
#include <QMap>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

// One adapter found on USB, as the chooser lists it.
struct AdapterScanEntry {
    QString text; // product text and the adapter's name, or the name of an adapter already open
    int vid = 0;
    int pid = 0;
    QString serial;
    bool open = false; // held by a tab; not talked to
};

struct AdapterScanResult {
    QList<AdapterScanEntry> entries;
    QStringList errors; // one text per device that did not answer as an adapter
    bool noDevice = false;
    // The adapters' device nodes the user may not open (HidAccess), asked
    // when no adapter was found or one could not be asked: then the reason
    // is the missing udev rule, and the device is not said to be silent.
    QStringList deniedNodes;
};

// Finds the adapters on USB and asks each for its name. The probe talks to
// every device that is not open already, with short time-outs; it runs in a
// thread of its own so that the window stays responsive meanwhile.
class AdapterScan
{
public:
    // open: serial number -> name of the adapters already open; they are
    // listed under that name without being talked to.
    static AdapterScanResult scan(const QMap<QString, QString> &open);
    // Runs scan in a worker thread; done runs in receiver's thread, and not
    // at all when the receiver is gone by then.
    static void start(const QMap<QString, QString> &open, QObject *receiver,
                      std::function<void(const AdapterScanResult &)> done);
    static bool isRunning();
    // Waits for every running scan (the program is ending).
    static void waitForAll();
};

Q_DECLARE_METATYPE(AdapterScanResult)
