#include "cli/CliLibrary.h"

#include <cstdio>

#include <QCoreApplication>
#include <QThread>

#include "cli/CliSupport.h"
#include "download/DownloadMover.h"
#include "download/DownloadsMoverQueueWrapper.h"
#include "download/RemovePathsQueueWrapper.h"
#include "download/LibraryQueues.h"
#include "files/HomeTreeLock.h"
#include "files/MyDirectories.h"
#include "foundation/Alerts.h"
#include "foundation/WaitOverlay.h"
#include "store/AppData.h"
#include "store/LibraryLookup.h"
#include "store/BooksRequest.h"
#include "store/Chapter.h"

namespace {

class CliAlerts : public Alerts
{
public:
    explicit CliAlerts(bool yes) : yes_(yes) {}
    void show(AlertRequest request) override
    {
        QString text = request.title;
        if (!request.message.isEmpty())
            text += (text.isEmpty() ? QString() : QStringLiteral(": ")) + request.message;
        std::fprintf(stderr, "%s\n", qPrintable(text));
        const bool confirmation = !request.otherButtons.isEmpty();
        if (!confirmation)
            sawAlert = true;
        else if (!yes_)
            std::fputs("(not confirmed: add --yes to answer Ok)\n", stderr);
        if (request.onButton)
            request.onButton(confirmation && yes_ ? 1 : 0);
    }
    bool sawAlert = false;

private:
    bool yes_;
};

class CliWaitOverlay : public WaitOverlay
{
public:
    void setLabelText(const QString &text) override
    {
        if (text != last_)
            std::fprintf(stderr, "%s\n", qPrintable(text));
        last_ = text;
    }

private:
    QString last_;
};

} // namespace

struct CliLibrary::State {
    QString root;
    std::shared_ptr<CliAlerts> alerts;
    QString rootError;
    std::unique_ptr<HomeTreeLock> lock;
};

CliLibrary::CliLibrary(QStringList &args) : state_(std::make_unique<State>())
{
    state_->root =
        CliSupport::takeValue(args, QStringLiteral("--root"), &state_->rootError).value_or(QString());
    state_->alerts = std::make_shared<CliAlerts>(CliSupport::takeFlag(args, QStringLiteral("--yes")));
}

CliLibrary::~CliLibrary()
{
    // Background removals and saves finish before the store goes.
    waitUntil([] {
        return LibraryQueues::removePathsQueueWrapper()->queue().operationCount() == 0 &&
               LibraryQueues::downloadsMoverQueueWrapper()->queue().operationCount() == 0;
    });
    QCoreApplication::processEvents();
}

std::optional<int> CliLibrary::open()
{
    if (!state_->rootError.isEmpty())
        return CliSupport::fail(state_->rootError, 2);
    Alerts::install(state_->alerts);
    WaitOverlay::install(std::make_shared<CliWaitOverlay>());
    MyDirectories::setRootDirectory(state_->root);
    state_->lock = CliSupport::lockHomeTree();
    if (!state_->lock)
        return 1;
    MyDirectories::sharedMyDirectories().createDirectories();
    AppData &appData = AppData::sharedAppData();
    if (!appData.setup())
        return 1;
    DownloadMover::recoverInterruptedMoves(*appData.managedObjectContext());
    LibraryQueues::create();
    return std::nullopt;
}

bool CliLibrary::sawAlert() const
{
    return state_->alerts->sawAlert;
}

void CliLibrary::waitUntil(const std::function<bool()> &done)
{
    // Background work reports through queued calls; polling also notices a
    // queue that has simply drained.
    for (;;) {
        QCoreApplication::processEvents();
        if (done())
            return;
        QThread::msleep(2);
    }
}

std::shared_ptr<Book> CliLibrary::findBook(const QString &title) const
{
    auto book = LibraryLookup::bookWithTitle(*AppData::sharedAppData().managedObjectContext(), title);
    if (!book)
        CliSupport::fail(QStringLiteral("No book titled \"%1\" in the library").arg(title));
    return book;
}

std::shared_ptr<Chapter> CliLibrary::findChapter(const Book &book, const Decimal &number)
{
    auto chapter = LibraryLookup::chapterWithNumber(book, number);
    if (!chapter)
        CliSupport::fail(QStringLiteral("No chapter %1 in \"%2\"").arg(number.toString(), book.title()));
    return chapter;
}
