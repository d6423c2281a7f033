#pragma once

#include <memory>
#include <optional>

#include <QString>

#include "foundation/Error.h"

class Download;
class DownloadManager;
class HomeTreeLock;

// The engine's part of a program's start on a home tree, the same for the
// application and every yomora-cli command that opens the library, so that
// no program works on a tree whose last run left it unsettled. In order: the
// home-tree lock, the missing folders, data of earlier versions moved in,
// the settings file, the store, saves into the library that a crash cut
// short settled, removals left unfinished resumed, the wait queue rebuilt
// from the stored flags, and the downloads a killed run left flagged as
// active cleared. The screens' own steps stay with the application.
//
// The store and settings are the ones the manager's services give, and
// badge changes go to those services.
// Thread contract: main thread only, before anything else uses the tree.
class EngineStartUp
{
public:
    static inline const QString ErrorDomain = QStringLiteral("EngineStartUpDomain");
    enum ErrorCode { TreeInUse = 1, StoreUnusable = 2 };

    // Whether this program can offer to resume an interrupted download.
    // One that cannot keeps the offer in the settings for the next program
    // that can, since the flag that marked the download is cleared here.
    enum class ResumeOffer { Keep, Take };

    struct Result {
        // Held for as long as the program runs; null when start-up stopped.
        std::unique_ptr<HomeTreeLock> lock;
        // Why start-up stopped: the tree is in use (its message names the
        // home directory), or the store cannot be used (its alert has
        // been shown).
        std::optional<Error> error;
        // With ResumeOffer::Take: the interrupted download to offer, or null.
        std::shared_ptr<Download> downloadToResume;
    };

    static Result start(DownloadManager &manager, const QString &root, ResumeOffer offer);

    // The settings key holding the uuid of the download still to be offered.
    static QString downloadToResumeKey();

private:
    static void migrate();
    static std::shared_ptr<Download> settleInterruptedDownloads(DownloadManager &manager, ResumeOffer offer);
};
