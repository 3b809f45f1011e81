#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// Scrambling and unscrambling of description files.
class XmlDecoding : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    void sigDecodingProgress(int range, int progress);

public slots:
    // Inverts every byte of data in place; -1 for a null array, else 0.
    // Progress is reported after each byte while anyone listens.
    int openByteArrayDecode(QByteArray &data);

    // Converts a plain description file into the scrambled form. The new
    // content is written beside the file and replaces it only when complete,
    // so an interruption never leaves a half-scrambled description. A file
    // that is already scrambled is left untouched. Returns true when the file
    // is scrambled afterwards.
    bool encryptionXml(const QString &path);
};
