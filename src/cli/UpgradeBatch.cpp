#include "UpgradeBatch.h"

#include "UpdateManege.h"
#include "UpgradeFile.h"

#include <QThread>

#include <algorithm>

namespace {
constexpr int kWorkerStopWaitMs = 5000;
}

UpgradeBatch::UpgradeBatch(const QList<QByteArray> &blocks, const QList<Target> &targets, QObject *parent)
    : QObject(parent)
    , m_blocks(blocks)
{
    registerUpgradeMetaTypes();
    for (const Target &target : targets)
        m_upgrades.append(Upgrade{target});
}

UpgradeBatch::~UpgradeBatch()
{
    for (UpdateManege *manager : qAsConst(m_managers)) {
        if (!manager)
            continue;
        manager->cancel();
        emit manager->sigClose();
        manager->deleteLater();
    }
    for (const QPointer<QThread> &thread : qAsConst(m_threads)) {
        if (thread && thread->wait(kWorkerStopWaitMs))
            delete thread.data();
    }
}

void UpgradeBatch::start()
{
    for (int index = 0; index < m_upgrades.size(); ++index) {
        const Target &target = m_upgrades.at(index).target;
        auto *manager = new UpdateManege;
        connect(manager, &UsbCommunication::sigError, this, &UpgradeBatch::onErrorMessage);
        connect(manager, &UpdateManege::sigConnectFailed, this, &UpgradeBatch::onConnectFailed);
        connect(manager, &UpdateManege::sigUpdateFailed, this, &UpgradeBatch::onUpdateFailed);
        connect(manager, &UpdateManege::sigRunBurningFailed, this, &UpgradeBatch::onRunBurningFailed);
        connect(manager, &UpdateManege::sigUpdateProcess, this, &UpgradeBatch::onUpdateProcess);
        connect(manager, &UpdateManege::sigVersionRead, this, &UpgradeBatch::onVersionRead);
        connect(manager, &UpdateManege::sigWrongVersion, this, &UpgradeBatch::onWrongVersion);
        connect(manager, &UpdateManege::sigNotBack, this, &UpgradeBatch::onNotBack);
        // Direct: the worker is busy inside an exchange and must hear at once.
        connect(this, &UpgradeBatch::sigStopUpdate, manager, &UpdateManege::onStopUpdate, Qt::DirectConnection);
        manager->setMac(target.device.serial_number);
        manager->setName(target.name);
        manager->setRow(index);
        manager->setBlockList(m_blocks);
        m_managers.append(manager);
        m_threads.append(manager->workerThread());
        manager->start(target.device.vendor_id, target.device.product_id, target.device.serial_number);
    }
}

void UpgradeBatch::cancel()
{
    for (int index = 0; index < m_upgrades.size(); ++index) {
        Upgrade &upgrade = m_upgrades[index];
        if (upgrade.end != End::Running || upgrade.cancelled)
            continue;
        upgrade.cancelled = true;
        emit sigStopUpdate(upgrade.target.device.serial_number);
        notify(index);
    }
}

bool UpgradeBatch::finished() const
{
    return std::none_of(m_upgrades.cbegin(), m_upgrades.cend(), [](const Upgrade &u) { return u.end == End::Running; });
}

int UpgradeBatch::reportingIndex() const
{
    const QObject *reporter = sender();
    for (int index = 0; reporter && index < m_managers.size(); ++index) {
        if (m_managers.at(index) == reporter)
            return index;
    }
    return -1;
}

void UpgradeBatch::notify(int index)
{
    if (changed)
        changed(index);
}

void UpgradeBatch::end(End how)
{
    const int index = reportingIndex();
    if (index < 0)
        return;
    UpdateManege *manager = m_managers.at(index);
    m_managers[index] = nullptr;
    emit manager->sigClose();
    manager->deleteLater();
    m_upgrades[index].end = how;
    notify(index);
}

void UpgradeBatch::onUpdateProcess(Update type, int process, int row, QString name, QString mac)
{
    Q_UNUSED(row)
    Q_UNUSED(name)
    Q_UNUSED(mac)
    const int index = reportingIndex();
    if (index < 0)
        return;
    Upgrade &upgrade = m_upgrades[index];
    if (type == UPDATE_PROGRESS) {
        const int percent = int(qint64(process) * 100 / qMax(1, m_blocks.size() * UpgradeFile::kBlockSize));
        if (percent == upgrade.percent)
            return;
        upgrade.percent = percent;
    } else if (type == UPDATE_PHASE && process == upgradephase::kBegun) {
        upgrade.begun = true;
    } else if (type == UPDATE_PHASE && process == upgradephase::kWritten) {
        upgrade.written = true;
        upgrade.percent = 100;
    } else if (type == UPDATE_PHASE && process == upgradephase::kComplete) {
        end(End::Complete);
        return;
    }
    notify(index);
}

void UpgradeBatch::onUpdateFailed(int row, QString name, QString mac)
{
    Q_UNUSED(row)
    Q_UNUSED(name)
    Q_UNUSED(mac)
    end(End::Failed);
}

void UpgradeBatch::onConnectFailed(int row)
{
    Q_UNUSED(row)
    end(End::ConnectFailed);
}

void UpgradeBatch::onRunBurningFailed(Update type)
{
    end(type == UPDATE_ENTER_REFUSED ? End::EnterRefused : End::BurnRefused);
}

void UpgradeBatch::onErrorMessage(int row, QString name, QString mac)
{
    Q_UNUSED(row)
    Q_UNUSED(name)
    Q_UNUSED(mac)
    end(End::Broken);
}

void UpgradeBatch::onVersionRead(int row, QString name, QString mac, QString appVersion)
{
    Q_UNUSED(row)
    Q_UNUSED(name)
    Q_UNUSED(mac)
    const int index = reportingIndex();
    if (index < 0)
        return;
    m_upgrades[index].appVersion = appVersion;
    notify(index);
}

void UpgradeBatch::onWrongVersion(int row, QString name, QString mac, QString expected, QString found)
{
    Q_UNUSED(row)
    Q_UNUSED(name)
    Q_UNUSED(mac)
    const int index = reportingIndex();
    if (index < 0)
        return;
    m_upgrades[index].fileVersion = expected;
    m_upgrades[index].appVersion = found;
    end(End::WrongVersion);
}

void UpgradeBatch::onNotBack(int row, QString name, QString mac, int waitedMs)
{
    Q_UNUSED(row)
    Q_UNUSED(name)
    Q_UNUSED(mac)
    const int index = reportingIndex();
    if (index < 0)
        return;
    m_upgrades[index].waitedMs = waitedMs;
    end(End::NotBack);
}

QString UpgradeBatch::endCode(End end, bool cancelled)
{
    if (cancelled)
        return QStringLiteral("upgrade.cancelled");
    switch (end) {
    case End::Complete:
        return QStringLiteral("upgrade.done");
    case End::ConnectFailed:
        return QStringLiteral("upgrade.open_failed");
    case End::EnterRefused:
        return QStringLiteral("upgrade.enter_refused");
    case End::BurnRefused:
        return QStringLiteral("upgrade.burn_refused");
    case End::Failed:
        return QStringLiteral("upgrade.refused");
    case End::Broken:
        return QStringLiteral("upgrade.link_lost");
    case End::WrongVersion:
        return QStringLiteral("upgrade.wrong_version");
    case End::NotBack:
        return QStringLiteral("upgrade.not_back");
    case End::Running:
        break;
    }
    return QString();
}
