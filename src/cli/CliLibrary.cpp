#include "cli/CliLibrary.h"

#include <cstdio>

#include "cli/CliSupport.h"
#include "files/HomeTreeLock.h"
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
    if (state_->lock)
        CliSupport::waitForLibraryQueues();
}

std::optional<int> CliLibrary::open()
{
    if (!state_->rootError.isEmpty())
        return CliSupport::fail(state_->rootError, 2);
    Alerts::install(state_->alerts);
    WaitOverlay::install(std::make_shared<CliWaitOverlay>());
    state_->lock = CliSupport::startEngine(state_->root);
    if (!state_->lock)
        return 1;
    return std::nullopt;
}

bool CliLibrary::sawAlert() const
{
    return state_->alerts->sawAlert;
}

std::shared_ptr<Book> CliLibrary::findBook(const QString &title, const std::optional<QString> &source) const
{
    const auto found =
        LibraryLookup::booksWithTitle(*AppData::sharedAppData().managedObjectContext(), title, source);
    QStringList sources;
    for (const auto &book : found) {
        if (!sources.contains(book->rootTitle()))
            sources << book->rootTitle();
    }
    // Two sources often carry the same title; taking either would work on
    // the wrong one half the time.
    if (sources.size() > 1) {
        CliSupport::fail(
            QStringLiteral("\"%1\" is in the library from %2 sources: %3 (choose one with --source)")
                .arg(title)
                .arg(sources.size())
                .arg(sources.join(QStringLiteral(", "))));
        return nullptr;
    }
    if (!found.empty())
        return found.front();
    if (source)
        CliSupport::fail(QStringLiteral("No book titled \"%1\" from %2 in the library").arg(title, *source));
    else
        CliSupport::fail(QStringLiteral("No book titled \"%1\" in the library").arg(title));
    return nullptr;
}

std::shared_ptr<Chapter> CliLibrary::findChapter(const Book &book, const Decimal &number)
{
    auto chapter = LibraryLookup::chapterWithNumber(book, number);
    if (!chapter)
        CliSupport::fail(QStringLiteral("No chapter %1 in \"%2\"").arg(number.toString(), book.title()));
    return chapter;
}
