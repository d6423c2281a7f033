#pragma once

#include <optional>

#include <QString>

// Free space of the file system that holds the home directory, read once
// when the object is created. Thread contract: any thread.
class FSStats
{
public:
    FSStats();
    explicit FSStats(quint64 freeSpace) : freeSpace_(freeSpace) {}

    quint64 freeSpace() const { return freeSpace_; }
    // Whole mebibytes; the remainder is dropped.
    quint64 availableDiskSpaceInMB() const { return freeSpace_ >> 20; }
    bool spaceIsAvailableInMB(qint64 megabytes) const;
    // "%.2f" with " KB", " MB" or " GB"; 1024 bytes or less are shown
    // undivided as "%llu bytes", since no unit applies to them.
    QString availableDiskSpaceString() const;

    // Tests pin what the file system reports; nullopt reads it again.
    static void setFreeSpaceOverride(std::optional<quint64> freeSpace);

private:
    quint64 freeSpace_ = 0;
};

// Checks that more than the given megabytes are free before a download; when
// not, tells the user and returns false.
bool DiskSpaceOk(int megabytes);
