#pragma once

#include <memory>

#include <QString>

// Record ids are handed out per process and the settings file is written
// whole, so two programs on one home tree would fail each other's saves and
// overwrite each other's settings. Whichever program opens the store or the
// settings holds this lock first, for as long as it runs. The lock is the
// system's (flock on a file in the home directory): it goes with the
// process, so a crash leaves no stale lock behind.
// Thread contract: any thread; one owner.
class HomeTreeLock
{
public:
    // The held lock on `home` (created when missing), or null with *error
    // set: "Yomora is already using <home>" while another program holds it.
    static std::unique_ptr<HomeTreeLock> lockHomeDirectory(const QString &home, QString *error);

    ~HomeTreeLock();
    HomeTreeLock(const HomeTreeLock &) = delete;
    HomeTreeLock &operator=(const HomeTreeLock &) = delete;

    QString homeDirectory() const { return home_; }

    static QString lockFileName();

private:
    HomeTreeLock(QString home, int fd) : home_(std::move(home)), fd_(fd) {}

    QString home_;
    int fd_;
};
