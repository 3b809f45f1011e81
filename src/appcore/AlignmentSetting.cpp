#include "AlignmentSetting.h"

#include "SettingsFiles.h"

#include <QSettings>

namespace appcore::AlignmentSetting {

namespace {
const QString kByteKey = QStringLiteral("Byte");
}

QString defaultPath()
{
    return SettingsFiles::path(SettingsFiles::kAlignment);
}

int unit(const QString &path)
{
    const QSettings settings(path, QSettings::IniFormat);
    return settings.value(kByteKey, false).toBool() ? kByteUnit : kBitUnit;
}

bool save(bool byteAlignment, const QString &path)
{
    QSettings settings(path, QSettings::IniFormat);
    settings.setValue(kByteKey, byteAlignment);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

} // namespace appcore::AlignmentSetting
