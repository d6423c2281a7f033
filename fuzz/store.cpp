// Fuzzes the store opening an arbitrary file as its library: a file that is
// not a sound store is refused and left exactly as it was.
#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>

#include "FuzzSupport.h"
#include "store/PersistentStoreCoordinator.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("CoreData.sqlite"));
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    {
        QFile file(path);
        require(file.open(QIODevice::WriteOnly), "cannot write the store file");
        file.write(bytes);
    }
    bool opened = false;
    {
        PersistentStoreCoordinator coordinator(path);
        opened = coordinator.isOpen();
    }
    if (!opened) {
        QFile file(path);
        require(file.open(QIODevice::ReadOnly), "refused store file gone");
        require(file.readAll() == bytes, "refused store file was changed");
    }
    return 0;
}
