#include <gtest/gtest.h>

#include <QDateTime>

#include "cli/CliSession.h"
#include "cli/CliSupport.h"
#include "download/DeducerFetcher.h"
#include "download/DownloadManager.h"
#include "download/DownloadServices.h"
#include "download/LibraryQueues.h"
#include "foundation/MainThread.h"
#include "sites/NavBook.h"
#include "sites/NavChapter.h"
#include "store/AppData.h"
#include "store/Book.h"
#include "support/EventLoop.h"
#include "support/HomeFixture.h"
#include "web/AppleReachability.h"

namespace {

// Each test is one yomora-cli command on a fresh home tree.
class CliSessionTest : public HomeFixture
{
protected:
    void TearDown() override
    {
        LibraryQueues::destroy();
        pumpEvents();
        AppleReachability::setInterfaceOverride(std::nullopt);
        DownloadManager::sharedDownloadManager().setServices(std::make_shared<DownloadServices>());
        AppData::sharedAppData().closeStore();
        HomeFixture::TearDown();
    }

    QStringList rootOption() const { return {QStringLiteral("--root"), root.path()}; }

    static void setOnline(bool online)
    {
        std::vector<NetworkInterfaceState> interfaces;
        if (online)
            interfaces.push_back({QStringLiteral("eth0"), true, true, false, true});
        AppleReachability::setInterfaceOverride(interfaces);
    }
};

TEST_F(CliSessionTest, AWaitEndsWhenNothingRunsAndTheDownloadStaysQueued)
{
    setOnline(true);
    QStringList args = rootOption();
    CliSession session(args, CliSession::HomeTree | CliSession::SiteAddresses | CliSession::Downloads);
    ASSERT_FALSE(session.optionError());
    ASSERT_FALSE(session.open());
    AppData &appData = AppData::sharedAppData();
    DeducerFetcher &deducerFetcher = DownloadManager::sharedDownloadManager().deducerFetcher();
    // A download of an earlier run still waits, so ours queues behind it.
    auto earlier = appData.createDownloadWithRootTitle(
        QStringLiteral("MangaFox"), QStringLiteral("Book"), QStringLiteral("Earlier"),
        QStringLiteral("http://www.mangafox.com/manga/b/c001/1.html"), Decimal(1),
        QDateTime::currentDateTime(), 0);
    earlier->setBook(appData.downloadsBook());
    earlier->setIsQueued(true);
    deducerFetcher.pushToWaitQueue(earlier);
    const NavBook book(QStringLiteral("Book"), QString());
    const NavChapter chapter(QStringLiteral("Chapter 2"),
                             QStringLiteral("http://www.mangafox.com/manga/b/c002/1.html"), Decimal(2));
    const auto ours = deducerFetcher.goWithChapter(&chapter, &book, QStringLiteral("MangaFox"), QString());
    ASSERT_TRUE(ours);
    ASSERT_TRUE(ours->isQueued());

    // Offline, the queue cannot move: nothing will ever start ours.
    setOnline(false);
    EXPECT_EQ(session.runDownload(ours), 1);
    EXPECT_FALSE(CliSession::engineIsBusy());
    EXPECT_TRUE(ours->isQueued());
}

TEST_F(CliSessionTest, ABookIsChosenByItsSourceWhenSeveralShareItsTitle)
{
    QStringList args = rootOption();
    CliSession session(args, CliSession::HomeTree | CliSession::Confirmations);
    ASSERT_FALSE(session.open());
    AppData &appData = AppData::sharedAppData();
    const auto alpha = appData.createBookWithTitle(QStringLiteral("Twin"), QStringLiteral("Alpha"));
    const auto beta = appData.createBookWithTitle(QStringLiteral("Twin"), QStringLiteral("Beta"));
    const auto solo = appData.createBookWithTitle(QStringLiteral("Solo"), QStringLiteral("Alpha"));
    ASSERT_FALSE(appData.save());

    EXPECT_FALSE(session.findBook(QStringLiteral("twin"))) << "ambiguous without a source";
    EXPECT_EQ(session.findBook(QStringLiteral("twin"), QStringLiteral("beta")), beta);
    EXPECT_EQ(session.findBook(QStringLiteral("Twin"), QStringLiteral("Alpha")), alpha);
    EXPECT_FALSE(session.findBook(QStringLiteral("Twin"), QStringLiteral("Gamma")));
    EXPECT_EQ(session.findBook(QStringLiteral("Solo")), solo);
    EXPECT_FALSE(session.findBook(QStringLiteral("Solo"), QStringLiteral("Beta")));
}

TEST_F(CliSessionTest, AReportHandedOverAsTheWorkStopsIsStillHeard)
{
    QStringList args;
    CliSession session(args, 0);
    bool reported = false;
    performOnMain([&reported] { reported = true; });
    EXPECT_TRUE(session.wait([&] { return reported; }, [] { return false; }));

    // Nothing moves and nothing will report: the wait ends all the same.
    EXPECT_FALSE(session.wait([] { return false; }, [] { return false; }));
}

TEST(CliSessionOptionsTest, SharedOptionsAreTakenBeforeTheCommandName)
{
    const auto words = [](const char *text) {
        return QString::fromLatin1(text).split(u' ', Qt::SkipEmptyParts);
    };
    const struct {
        const char *line, *taken, *rest;
    } cases[] = {
        {"--root D --site=mangafox=http://h/ --site onemanga library --root E",
         "--root D --site=mangafox=http://h/ --site onemanga", "library --root E"},
        {"--root=D books", "--root=D", "books"},
        {"--rooted library", "", "--rooted library"},
        {"library --root D", "", "library --root D"},
        {"--root", "--root", ""},
    };
    for (const auto &c : cases) {
        QStringList args = words(c.line);
        EXPECT_EQ(CliSession::takeLeadingOptions(args), words(c.taken)) << c.line;
        EXPECT_EQ(args, words(c.rest)) << c.line;
    }
}

TEST_F(CliSessionTest, OnlyAddressesThatADeducerReadsAreDownloaded)
{
    for (const char *readable :
         {"http://www.mangafox.com/manga/b/c001/1.html", "https://www.mangahere.com/manga/b/c001/"}) {
        EXPECT_FALSE(CliSupport::unreadableChapterAddress(QLatin1String(readable))) << readable;
    }
    for (const char *unreadable : {"http://example.com/manga/b/c001/", "ftp://www.mangafox.com/manga/b/c001/",
                                   "www.mangafox.com/manga/b/c001/", "mangafox", ""}) {
        const auto refusal = CliSupport::unreadableChapterAddress(QLatin1String(unreadable));
        ASSERT_TRUE(refusal) << unreadable;
        EXPECT_TRUE(refusal->contains(QLatin1String(unreadable))) << refusal->toStdString();
        EXPECT_TRUE(refusal->contains(QStringLiteral("mangafox ("))) << refusal->toStdString();
    }
}

} // namespace
