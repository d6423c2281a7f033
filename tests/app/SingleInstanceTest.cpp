#include <cstring>
#include <future>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUuid>

#include "AppFixture.h"
#include "app/AppWindow.h"
#include "app/SingleInstance.h"
#include "demo/DemoLibrary.h"
#include "settings/SettingsKeys.h"
#include "store/Chapter.h"
#include "support/EventLoop.h"
#include "ui/pages/PagesViewController.h"

namespace {

QString uniqueName()
{
    return QStringLiteral("yomora-test-") + QUuid::createUuid().toString(QUuid::Id128).left(12);
}

// What a killed run leaves: a socket file that nobody answers on.
void leaveStaleSocket(const QString &name)
{
    const QByteArray path = QFile::encodeName(QDir::tempPath() + u'/' + name);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(std::size_t(path.size()), sizeof(address.sun_path));
    std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)), 0);
    ::close(fd);
}

// The second program's side runs on a thread of its own, as it would in its
// own process, while this thread runs the first program's event loop.
bool handOverWhileServing(const QString &name, const QStringList &arguments)
{
    auto handed = std::async(std::launch::async, [&] { return SingleInstance::handOver(name, arguments); });
    EXPECT_TRUE(pumpEventsUntil(
        [&] { return handed.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    return handed.get();
}

using SingleInstanceApp = AppFixture;

TEST_F(SingleInstanceApp, ASecondStartOpensItsChapterInTheMinimisedWindowAndEnds)
{
    auto run = start();
    MangaAppDelegate *app = run->delegate.get();
    run->defaults->setBool(true, SettingsKeys::showPagesHelpViewed);
    DemoLibrary::create(*run->appData);
    const auto chapter =
        DemoLibrary::chapter(*run->appData, QStringLiteral("Blue Harbor"), QStringLiteral("1"));
    ASSERT_TRUE(chapter);
    app->window()->showMinimized();

    SingleInstance first(uniqueName());
    QObject::connect(&first, &SingleInstance::argumentsReceived, app, &MangaAppDelegate::handleOpenArguments);
    ASSERT_TRUE(first.listen());
    EXPECT_TRUE(
        handOverWhileServing(first.serverName(), {QStringLiteral("--open-chapter"),
                                                  QStringLiteral("Blue Harbor"), QStringLiteral("1")}));

    EXPECT_FALSE(app->window()->windowState() & Qt::WindowMinimized);
    auto *viewer = qobject_cast<PagesViewController *>(app->topScreen());
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->chapter(), chapter);

    // Plain arguments only bring the window forward; the viewer stays.
    app->window()->showMinimized();
    EXPECT_TRUE(handOverWhileServing(first.serverName(), {QStringLiteral("--idiom"), QStringLiteral("pad")}));
    EXPECT_FALSE(app->window()->windowState() & Qt::WindowMinimized);
    EXPECT_EQ(app->topScreen(), viewer);
}

TEST(SingleInstance, OnlyALiveProgramKeepsItsName)
{
    const QString name = uniqueName();
    // Nobody listens: the program starts by itself, without waiting.
    EXPECT_FALSE(SingleInstance::handOver(name, {}));

    leaveStaleSocket(name);
    EXPECT_FALSE(SingleInstance::handOver(name, {}));
    SingleInstance restarted(name);
    EXPECT_TRUE(restarted.listen());

    SingleInstance another(name);
    EXPECT_FALSE(another.listen());
    EXPECT_TRUE(restarted.isListening());
    QStringList received;
    QObject::connect(&restarted, &SingleInstance::argumentsReceived,
                     [&](const QStringList &arguments) { received = arguments; });
    EXPECT_TRUE(handOverWhileServing(name, {QStringLiteral("é"), QString()}));
    EXPECT_EQ(received, (QStringList{QStringLiteral("é"), QString()}));
}

TEST(SingleInstance, OneNamePerHomeTreeHoweverItIsSpelt)
{
    QTemporaryDir root;
    const QString home = root.filePath(QStringLiteral("YomoraC"));
    ASSERT_TRUE(QDir().mkpath(home));
    ASSERT_TRUE(QFile::link(home, root.filePath(QStringLiteral("link"))));
    const QString name = SingleInstance::serverNameFor(home);
    EXPECT_EQ(SingleInstance::serverNameFor(root.filePath(QStringLiteral("link"))), name);
    EXPECT_EQ(SingleInstance::serverNameFor(home + QStringLiteral("/../YomoraC/")), name);
    EXPECT_NE(SingleInstance::serverNameFor(root.filePath(QStringLiteral("other"))), name);
}

} // namespace
