#pragma once

#include "Slave.h"

// The kinds of slave, one per module class. Each replaces the two record
// operations; a configuration record carries its parameter block at byte 6,
// a status record at byte 16.

// Common steps of the kinds with process data: which directions the kind
// maps and whether channel diagnostics (InputOffs/OutputOffs) are part of the
// counts the adapter reports.
class SlaveWithData : public Slave
{
    Q_OBJECT
public:
    struct Traits {
        bool inputs = false;
        bool outputs = false;
        bool subtractInputOffs = false;  // reported input count includes InputOffs
        bool subtractOutputOffs = false; // reported output count includes OutputOffs
        bool storeCountsFromConfig = false;
        bool storeCountsFromStatus = false;
    };

    void applyShortRecord(const QByteArray &configRecord) override;
    void updateFromStatusRecord(const QByteArray &statusRecord) override;

protected:
    SlaveWithData(int station, Traits traits, QObject *parent);

private:
    int allocatedInputs(const QByteArray &record) const;
    int allocatedOutputs(const QByteArray &record) const;
    // Bits of the areas the module holds by the record's channel counts.
    int inputAreaBits(const QByteArray &record) const;
    int outputAreaBits(const QByteArray &record) const;

    Traits m_traits;
};

class SlaveDI : public SlaveWithData
{
    Q_OBJECT
public:
    explicit SlaveDI(int station, QObject *parent = nullptr);
};

class SlaveDO : public SlaveWithData
{
    Q_OBJECT
public:
    explicit SlaveDO(int station, QObject *parent = nullptr);
};

class SlaveDIO : public SlaveWithData
{
    Q_OBJECT
public:
    explicit SlaveDIO(int station, QObject *parent = nullptr);
};

class SlaveDIDO : public SlaveWithData
{
    Q_OBJECT
public:
    explicit SlaveDIDO(int station, QObject *parent = nullptr);
};

class SlaveAI : public SlaveWithData
{
    Q_OBJECT
public:
    explicit SlaveAI(int station, QObject *parent = nullptr);
};

class SlaveAO : public SlaveWithData
{
    Q_OBJECT
public:
    explicit SlaveAO(int station, QObject *parent = nullptr);
};

class SlaveAIAO : public SlaveWithData
{
    Q_OBJECT
public:
    explicit SlaveAIAO(int station, QObject *parent = nullptr);
};

// A module without a description of its own (or of class AIO): shown under
// the name "LS-?-?" with the fallback description's items.
class undefindSlave : public Slave
{
    Q_OBJECT
public:
    static const QString kTypeName; // "LS-?-?"

    explicit undefindSlave(int station, QObject *parent = nullptr);

    void applyShortRecord(const QByteArray &configRecord) override;
    void updateFromStatusRecord(const QByteArray &statusRecord) override;
};
