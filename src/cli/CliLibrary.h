#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QString>
#include <QStringList>

class Book;
class Chapter;
class Decimal;

// What the library commands of yomora-cli share: the home tree chosen with
// "--root DIR" (else $YOMORA_ROOT or the default) and locked for as long as
// the command runs, the store opened as the
// application opens it (interrupted saves settled, the two library queue
// wrappers created), alerts printed on standard error with confirmations
// answered "Ok" by "--yes" and "Cancel" otherwise, and the wait overlay's
// progress texts printed as they come.
// Thread contract: main thread only.
class CliLibrary
{
public:
    // Takes "--root" and "--yes" from the arguments.
    explicit CliLibrary(QStringList &args);
    ~CliLibrary();
    CliLibrary(const CliLibrary &) = delete;
    CliLibrary &operator=(const CliLibrary &) = delete;

    // Nullopt once the library is open; otherwise the exit status to use
    // (the reason is printed).
    std::optional<int> open();
    // True when an alert other than a confirmation was shown: a refusal or
    // a failure the command must report in its exit status.
    bool sawAlert() const;
    // Runs the event loop until `done` holds.
    static void waitUntil(const std::function<bool()> &done);
    // The library book whose title is `title` ignoring case (the first of
    // several), or null after printing why.
    std::shared_ptr<Book> findBook(const QString &title) const;
    // The book's chapter numbered `number`, or null after printing why.
    static std::shared_ptr<Chapter> findChapter(const Book &book, const Decimal &number);

private:
    struct State;
    std::unique_ptr<State> state_;
};
