#pragma once

#include <QString>

// Names every directory of the home tree so that no other code builds a path
// from literals. Each path is computed at each call: the root can be changed
// (tests, --root) and the data directory follows the OS version.
// Thread contract: any thread; the root is guarded by a lock.
class MyDirectories
{
public:
    static MyDirectories &sharedMyDirectories();

    // The parent of the home directory. An empty root restores the default:
    // $YOMORA_ROOT, else $XDG_DATA_HOME, else ~/.local/share.
    static void setRootDirectory(const QString &root);
    static QString rootDirectory();

    QString homeDirectory() const;
    QString preferencesDirectory() const;
    QString libraryDirectory() const;
    QString appleCachesDirectory() const;
    QString oldApplicationDirectory() const;
    QString temporaryDirectory() const;
    QString documentDirectory() const;
    QString preIOS5ApplicationDirectory() const;
    QString postIOS5ApplicationDirectory() const;
    // The current data directory: chosen again at every call from the OS
    // version, so an upgrade is followed at the next start.
    QString newApplicationDirectory() const;
    QString applicationDocumentDirectory() const { return newApplicationDirectory(); }
    QString cacheDirectory() const;
    QString imagesDirectory() const;

    QString imagesBaseName() const;
    QString cacheBaseName() const;
    QString libraryBaseName() const;

    // Creates the missing directories of the tree, parents first, with
    // permissions 0755. Errors are ignored: whatever could not be created
    // shows up later as the failure of the operation that needs it.
    void createDirectories() const;

    MyDirectories(const MyDirectories &) = delete;
    MyDirectories &operator=(const MyDirectories &) = delete;

private:
    MyDirectories() = default;
};

// True when the OS version counts as 5.0 or later.
bool IsIOS5();
