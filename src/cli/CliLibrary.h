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
// the command runs, the engine started on it as the application starts it,
// alerts printed on standard error with confirmations answered "Ok" by
// "--yes" and "Cancel" otherwise, and the wait overlay's progress texts
// printed as they come.
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
    // The library book whose title is `title` and, when given, whose source
    // is `source`, both ignoring case; null after printing why, also when
    // the title is found under several sources (they are listed).
    std::shared_ptr<Book> findBook(const QString &title,
                                   const std::optional<QString> &source = std::nullopt) const;
    // The book's chapter numbered `number`, or null after printing why.
    static std::shared_ptr<Chapter> findChapter(const Book &book, const Decimal &number);

private:
    struct State;
    std::unique_ptr<State> state_;
};
