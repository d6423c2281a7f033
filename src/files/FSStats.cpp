#include "files/FSStats.h"

#include <atomic>

#include <QFileInfo>
#include <QStorageInfo>

#include "files/MyDirectories.h"
#include "foundation/AlertFunctions.h"
#include "foundation/Localized.h"

namespace {

std::atomic<bool> overridden{false};
std::atomic<quint64> overrideValue{0};

quint64 readFreeSpace()
{
    // The home directory may not exist yet (first start, fresh root): ask
    // about the nearest ancestor that does, which is on the same file system
    // the home directory will be created on.
    QString path = MyDirectories::sharedMyDirectories().homeDirectory();
    while (!QFileInfo::exists(path)) {
        const QString parent = QFileInfo(path).path();
        if (parent == path)
            break;
        path = parent;
    }
    const QStorageInfo storage(path);
    if (!storage.isValid())
        return 0;
    return quint64(storage.bytesAvailable());
}

} // namespace

FSStats::FSStats() : freeSpace_(overridden.load() ? overrideValue.load() : readFreeSpace()) {}

bool FSStats::spaceIsAvailableInMB(qint64 megabytes) const
{
    if (megabytes < 0)
        return true;
    return availableDiskSpaceInMB() > quint64(megabytes);
}

QString FSStats::availableDiskSpaceString() const
{
    static const char *const units[] = {" KB", " MB", " GB"};
    double value = double(freeSpace_);
    int divisions = 0;
    while (value > 1024 && divisions < 3) {
        value /= 1024;
        ++divisions;
    }
    if (divisions == 0)
        return QString::asprintf("%llu bytes", static_cast<unsigned long long>(freeSpace_));
    return QString::asprintf("%.2f", value) + QLatin1String(units[divisions - 1]);
}

void FSStats::setFreeSpaceOverride(std::optional<quint64> freeSpace)
{
    overrideValue.store(freeSpace.value_or(0));
    overridden.store(freeSpace.has_value());
}

bool DiskSpaceOk(int megabytes)
{
    const FSStats stats;
    if (stats.spaceIsAvailableInMB(megabytes))
        return true;
    QString message = localized("Only %@ left on device\n%d MB required.");
    message.replace(QStringLiteral("%@"), stats.availableDiskSpaceString());
    message.replace(QStringLiteral("%d"), QString::number(megabytes));
    AlertWithTitleAndMessage(localized("Download cancelled"), message);
    return false;
}
