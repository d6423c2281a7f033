#include "ie/zip/IEFSStats.h"

#include <QDirIterator>
#include <QFileInfo>

#include "files/FSStats.h"

quint64 IEFSStats::sizeOfPath(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return 0;
    quint64 total = quint64(info.size());
    if (!info.isDir() || info.isSymLink())
        return total;
    QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        total += quint64(it.fileInfo().size());
    }
    return total;
}

quint64 IEFSStats::freeSpace()
{
    return FSStats().freeSpace();
}
