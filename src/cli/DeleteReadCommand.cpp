#include "cli/CliCommand.h"
#include "cli/CliSession.h"
#include "cli/CliSupport.h"
#include "download/ChaptersDeleterController.h"

namespace {

class Finished : public ChaptersDeleterControllerDelegate
{
public:
    void chaptersDeleterDidFinish(ChaptersDeleterController &) override { outcome.done = true; }
    void chaptersDeleterDidFail(ChaptersDeleterController &, const Error &error) override
    {
        outcome.failure = error;
    }
    CliSession::DeletionOutcome outcome;
};

int deleteRead(const QStringList &arguments)
{
    QStringList args = arguments;
    CliSession session(args, CliSession::HomeTree | CliSession::Confirmations);
    QString error;
    const auto source = CliSupport::takeValue(args, QStringLiteral("--source"), &error);
    if (!error.isEmpty() || args.size() != 1 || !CliSupport::unknownOptions(args).isEmpty())
        return CliSupport::fail(
            QStringLiteral("usage: yomora-cli delete-read BOOK [--source S] [--yes] [--root DIR]"), 2);
    if (const auto status = session.open())
        return *status;
    const auto book = session.findBook(args.first(), source);
    if (!book)
        return 1;
    Finished delegate;
    ChaptersDeleterController controller(book, &delegate);
    controller.addToNotifications();
    controller.deleteChapters();
    return session.finishDeletion(
        delegate.outcome, !controller.chaptersToDelete().empty(),
        QStringLiteral("Deleted %1 chapters").arg(controller.chaptersToDelete().size()));
}

const CliCommand::Registrar
    registrar({QStringLiteral("delete-read"),
               QStringLiteral("delete-read BOOK [--source S] [--yes] [--root DIR]  delete the read "
                              "chapters of BOOK below its last chapter read"),
               deleteRead});

} // namespace
