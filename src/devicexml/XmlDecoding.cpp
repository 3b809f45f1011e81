#include "XmlDecoding.h"

#include "DeviceXmlLog.h"
#include "ScrambledXml.h"

#include <QFile>
#include <QMetaMethod>
#include <QSaveFile>

int XmlDecoding::openByteArrayDecode(QByteArray &data)
{
    if (data.isNull())
        return -1;
    static const QMetaMethod progressSignal = QMetaMethod::fromSignal(&XmlDecoding::sigDecodingProgress);
    if (!isSignalConnected(progressSignal)) {
        ScrambledXml::invertBytes(data);
        return 0;
    }
    char *bytes = data.data();
    const int size = data.size();
    for (int i = 0; i < size; ++i) {
        bytes[i] = char(~quint8(bytes[i]));
        emit sigDecodingProgress(size - 1, i);
    }
    return 0;
}

bool XmlDecoding::encryptionXml(const QString &path)
{
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly)) {
        qCWarning(lcDeviceXml) << "cannot read description" << path << source.errorString();
        return false;
    }
    const QByteArray content = source.readAll();
    source.close();
    if (ScrambledXml::hasMarker(content))
        return true;

    QSaveFile target(path);
    if (!target.open(QIODevice::WriteOnly)) {
        qCWarning(lcDeviceXml) << "cannot write description" << path << target.errorString();
        return false;
    }
    const QByteArray scrambled = ScrambledXml::scramble(content);
    if (target.write(scrambled) != scrambled.size() || !target.commit()) {
        qCWarning(lcDeviceXml) << "scrambling failed, description kept as it was" << path
                               << target.errorString();
        target.cancelWriting();
        return false;
    }
    return true;
}
