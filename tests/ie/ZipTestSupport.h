#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Zip files built entry by entry, for archives the program itself would
// never write (hostile names, links, many entries).
struct RawZipEntry {
    QByteArray name;
    QByteArray data;
    bool symbolicLink = false;
};

bool writeRawZip(const QString &path, const QList<RawZipEntry> &entries);

// Writes `size` bytes of pseudo-random (incompressible) or repeated data.
QByteArray testBytes(int size, int seed);
bool writeFile(const QString &path, const QByteArray &data);
QByteArray readFile(const QString &path);
// Every file under `root`, relative, sorted.
QStringList filesUnder(const QString &root);
