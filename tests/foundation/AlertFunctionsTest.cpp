#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "files/DeleteAlert.h"
#include "files/MyDirectories.h"
#include "foundation/AlertFunctions.h"
#include "sites/SiteTransitionAlerts.h"
#include "foundation/Alerts.h"

namespace {

class AlertFunctionsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        Alerts::install(recorder);
        SetFatalExitHook([this](int status) { exitStatuses.push_back(status); });
    }
    void TearDown() override
    {
        SetFatalExitHook({});
        Alerts::install(nullptr);
    }

    std::shared_ptr<AlertRecorder> recorder = std::make_shared<AlertRecorder>();
    std::vector<int> exitStatuses;
};

} // namespace

TEST_F(AlertFunctionsTest, TextsOfTheMessageAlerts)
{
    const Error mergeConflict{QStringLiteral("Store"), MergeConflictErrorCode, QStringLiteral("conflict")};
    const Error diskFull{QStringLiteral("Store"), 5, QStringLiteral("disk full")};
    const struct {
        std::function<void()> show;
        QString title;
        QString message;
    } cases[] = {
        {[&] { AlertWithTitleAndError(QStringLiteral("Fatal! Please exit the application"), diskFull); },
         QStringLiteral("Fatal! Please exit the application"),
         QStringLiteral("Fatal! Please exit the application disk full")},
        {[] { CannotConnectMessage(); }, QStringLiteral("Cannot connect to the internet"), QString()},
        {[&] { CoreDataFatalErrorAlert(diskFull); }, QStringLiteral("Error in saving data"),
         QStringLiteral("disk full")},
        {[&] { CoreDataFatalErrorAlert(mergeConflict); }, QStringLiteral("Error in saving data"),
         QStringLiteral("If you keep seeing this error, try rebooting your device.\n"
                        "Then save a random manga that you had not previously downloaded to your library.")},
        {[] { MangaFoxAlert(); }, QStringLiteral("Important"),
         QStringLiteral(
             "MangaFox.com will undergo a transition to a new web layout shortly.  This may cause some "
             "disruption in accessing the mangas.  We will fix any problems as soon as possible if "
             "they arise.\nThank you for understanding.")},
        {[] { OneMangaAlert(); }, QStringLiteral("Important"),
         QStringLiteral(
             "OneManga will undergo a transition to a new web layout shortly.  This may cause some "
             "disruption in accessing the mangas.  We will fix any problems as soon as possible if "
             "they arise.\nThank you for understanding.")},
    };
    for (const auto &c : cases) {
        c.show();
        ASSERT_EQ(recorder->alerts().size(), 1u);
        EXPECT_EQ(recorder->last().title, c.title);
        EXPECT_EQ(recorder->last().message, c.message);
        EXPECT_EQ(recorder->last().cancelButton, QStringLiteral("Ok"));
        recorder->press(0);
    }
    EXPECT_TRUE(exitStatuses.empty()) << "save failures must leave the program running";
}

TEST_F(AlertFunctionsTest, DeleteAlertNamesTheRealHomeDirectory)
{
    QTemporaryDir root;
    MyDirectories::setRootDirectory(root.path());
    DeleteAlert();
    MyDirectories::setRootDirectory({});
    ASSERT_FALSE(recorder->isEmpty());
    EXPECT_EQ(recorder->last().title, QStringLiteral("Important"));
    EXPECT_EQ(
        recorder->last().message,
        QStringLiteral("To completely remove the app, you must delete all the downloaded mangas from the "
                       "app before uninstalling.\n(or remove the directory ") +
            root.path() + QStringLiteral("/YomoraC)"));
}

TEST_F(AlertFunctionsTest, FatalAlertsExitOnlyWhenDismissed)
{
    FileManagerFatalAlertErrorAndDelegate(Error{QStringLiteral("Files"), 1, QStringLiteral("No such file")});
    FatalAlertWithTitleAndMessage(QStringLiteral("File Error"), QStringLiteral("Could not write page"));
    ASSERT_EQ(recorder->alerts().size(), 2u);
    EXPECT_EQ(recorder->alerts()[0].title, QStringLiteral("File error"));
    EXPECT_EQ(recorder->alerts()[0].message, QStringLiteral("No such file"));
    EXPECT_TRUE(exitStatuses.empty());
    recorder->press(0);
    recorder->press(0);
    EXPECT_EQ(exitStatuses, (std::vector<int>{-1, -1}));

    bool told = false;
    FileManagerFatalAlertErrorAndDelegate(Error{}, [&] { told = true; });
    recorder->press(0);
    EXPECT_TRUE(told);
    EXPECT_EQ(exitStatuses.size(), 2u);
}
