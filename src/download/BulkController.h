#pragma once

#include <memory>
#include <optional>
#include <vector>

#include <QString>

#include "foundation/Error.h"

class Chapter;

// What the library's three bulk actions (saving the completed downloads,
// deleting the lower numbered downloads, deleting a book's read chapters)
// share: a question first; on "Ok" a preparation that may refuse (busy,
// too many); up to 5 items done at once on the main thread, more in the
// background behind the wait overlay until the queue's notification; then
// the delegate is told. Each controller keeps its own texts and rules.
// Thread contract: main thread only.
class BulkController
{
public:
    // Below this many items the work is done at once, without the overlay.
    static constexpr int kForegroundLimit = 6;

    virtual ~BulkController();
    BulkController(const BulkController &) = delete;
    BulkController &operator=(const BulkController &) = delete;

    // Observes the background queue's end while the screen shows.
    void addToNotifications();
    void removeFromNotifications();
    // "Ok" on the question (button 1 of the controller's tag) starts the work.
    void alertViewClickedButtonAtIndex(int tag, int buttonIndex);

    int confirmationTag() const { return tag_; }

protected:
    BulkController(int confirmationTag, QString finishedNotification);

    // Asks "Are you sure?" with the controller's message and buttons.
    void confirm(const QString &message);

    // The chosen items, or false after the alert that says why not.
    virtual bool prepare() = 0;
    virtual int itemCount() const = 0;
    virtual void runForeground() = 0;
    virtual void runBackground() = 0;
    // The background queue has posted its notification.
    virtual void backgroundDidFinish() = 0;

    // The deleters' two forms. Records are deleted and saved before their
    // folders go; a failed save keeps both and is handed back. The caller
    // of the background form shows the overlay.
    // Downloads count as chapters here: their folders are laid out alike.
    static std::optional<Error> removeAtOnce(const std::vector<std::shared_ptr<Chapter>> &chapters);
    static std::optional<Error> removeInBackground(const std::vector<std::shared_ptr<Chapter>> &chapters);

private:
    int tag_;
    QString finishedNotification_;
    // The question's answer may come after the controller has gone.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
