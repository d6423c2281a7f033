#include <memory>

#include "cli/CliCommand.h"
#include "cli/CliDownloadServices.h"
#include "cli/CliSession.h"
#include "cli/CliSupport.h"
#include "download/DeducerFetcher.h"
#include "download/DownloadManager.h"
#include "files/FSStats.h"
#include "foundation/Decimal.h"
#include "foundation/Localized.h"
#include "sites/NavBook.h"
#include "catalogue/NavCatalogue.h"
#include "sites/NavChapter.h"
#include "sites/SiteConfig.h"
#include "store/AppData.h"
#include "store/DownloadsRequest.h"
#include "store/IsDownloading.h"

namespace {

// The catalogue's name of the site an address belongs to.
QString rootTitleForURL(const QString &url)
{
    const QString key = SiteConfig::siteKeyForURL(url);
    for (const NavSite &site : NavCatalogue::sites()) {
        if (!site.rootTitle().isEmpty() && !key.isEmpty() && SiteConfig::siteKeyForURL(site.rootUrl()) == key)
            return site.rootTitle();
    }
    return key;
}

std::vector<std::shared_ptr<Download>> allDownloads()
{
    return AppData::sharedAppData().managedObjectContext()->fetch<Download>(DownloadsRequest());
}

int download(const QStringList &arguments)
{
    const QString usage = QStringLiteral(
        "usage: yomora-cli download URL --book TITLE --chapter TITLE [--number N] [--autosave] "
        "[--root DIR] [--site name=URL]...");
    QStringList args = arguments;
    CliSession session(args, CliSession::HomeTree | CliSession::SiteAddresses | CliSession::Downloads);
    if (const auto &error = session.optionError())
        return CliSupport::fail(*error, 2);
    QString error;
    const auto book = CliSupport::takeValue(args, QStringLiteral("--book"), &error);
    const auto chapter = CliSupport::takeValue(args, QStringLiteral("--chapter"), &error);
    const auto number = CliSupport::takeValue(args, QStringLiteral("--number"), &error);
    const bool autoSave = CliSupport::takeFlag(args, QStringLiteral("--autosave"));
    if (!error.isEmpty() || args.size() != 1 || !CliSupport::unknownOptions(args).isEmpty() || !book ||
        !chapter)
        return CliSupport::fail(error.isEmpty() ? usage : error, 2);
    if (const auto refusal = CliSupport::unreadableChapterAddress(args.first()))
        return CliSupport::fail(*refusal, 2);
    if (const auto status = session.open())
        return *status;
    if (autoSave)
        session.services().setAutoSaveOverride(true);

    // What the chapter screens check before they ask for a chapter.
    DeducerFetcher &deducerFetcher = DownloadManager::sharedDownloadManager().deducerFetcher();
    if (!session.services().checkReachability())
        return CliSupport::fail(localized("Cannot connect to the internet"));
    if (!DiskSpaceOk(250))
        return CliSupport::fail(localized("Download cancelled"));
    if (deducerFetcher.waitQueueIsFull())
        return CliSupport::fail(localized("Queue is full"));

    const NavBook navBook(*book, QString());
    const NavChapter navChapter(*chapter, args.first(),
                                number ? std::optional(Decimal::fromString(*number)) : std::nullopt);
    const auto created =
        deducerFetcher.goWithChapter(&navChapter, &navBook, rootTitleForURL(args.first()), QString());
    if (!created)
        return 1; // the alert has said why
    return session.runDownload(created);
}

int downloads(const QStringList &arguments)
{
    QStringList args = arguments;
    CliSession session(args, CliSession::HomeTree | CliSession::SiteAddresses | CliSession::Downloads);
    if (const auto &error = session.optionError())
        return CliSupport::fail(*error, 2);
    if (!args.isEmpty())
        return CliSupport::fail(QStringLiteral("usage: yomora-cli downloads [--root DIR]"), 2);
    if (const auto status = session.open())
        return *status;
    int n = 0;
    for (const auto &download : allDownloads()) {
        CliSupport::printLine(
            QStringLiteral("%1. %2 / %3: %4")
                .arg(++n)
                .arg(download->bookTitle(), download->title(), CliSession::stateText(*download)));
    }
    return 0;
}

int retry(const QStringList &arguments)
{
    QStringList args = arguments;
    CliSession session(args, CliSession::HomeTree | CliSession::SiteAddresses | CliSession::Downloads);
    if (const auto &error = session.optionError())
        return CliSupport::fail(*error, 2);
    bool ok = false;
    const int n = args.size() == 1 ? args.first().toInt(&ok) : 0;
    if (!ok || !CliSupport::unknownOptions(args).isEmpty())
        return CliSupport::fail(QStringLiteral("usage: yomora-cli retry N [--root DIR] [--site name=URL]..."),
                                2);
    if (const auto status = session.open())
        return *status;
    const auto all = allDownloads();
    if (n < 1 || n > int(all.size()))
        return CliSupport::fail(QStringLiteral("no download %1 (see yomora-cli downloads)").arg(n));
    const auto download = all[size_t(n - 1)];

    // What the downloads screen checks before it retries.
    if (IsDownloading())
        return CliSupport::fail(localized("Sorry, only one download at a time"));
    if (!session.services().checkReachability())
        return CliSupport::fail(localized("Cannot connect to the internet"));
    if (download->isQueued())
        DownloadManager::sharedDownloadManager().deducerFetcher().removeDownloadFromWaitQueue(download);
    if (!DownloadManager::sharedDownloadManager().deducerFetcher().retryWithDownload(
            download, session.services().progressSink()))
        return CliSupport::fail(CliSession::stateText(*download));
    return session.runDownload(download);
}

const CliCommand::Registrar downloadRegistrar(
    {QStringLiteral("download"),
     QStringLiteral("download URL --book T --chapter T [--number N] [--autosave] [--root DIR]  fetch a "
                    "chapter into the downloads"),
     download});
const CliCommand::Registrar downloadsRegistrar({QStringLiteral("downloads"),
                                                QStringLiteral("downloads [--root DIR]  list the downloads "
                                                               "with their states"),
                                                downloads});
const CliCommand::Registrar
    retryRegistrar({QStringLiteral("retry"),
                    QStringLiteral("retry N [--root DIR]  fetch again what download N "
                                   "misses (numbered as downloads lists them)"),
                    retry});

} // namespace
