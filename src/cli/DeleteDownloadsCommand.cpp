#include "cli/CliCommand.h"
#include "cli/CliSession.h"
#include "cli/CliSupport.h"
#include "download/DownloadsDeleterController.h"

namespace {

class Finished : public DownloadsDeleterControllerDelegate
{
public:
    void downloadsDeleterDidFinish(DownloadsDeleterController &) override { outcome.done = true; }
    void downloadsDeleterDidFail(DownloadsDeleterController &, const Error &error) override
    {
        outcome.failure = error;
    }
    CliSession::DeletionOutcome outcome;
};

int deleteDownloads(const QStringList &arguments)
{
    QStringList args = arguments;
    CliSession session(args, CliSession::HomeTree | CliSession::Confirmations);
    if (!args.isEmpty())
        return CliSupport::fail(QStringLiteral("usage: yomora-cli delete-downloads [--yes] [--root DIR]"), 2);
    if (const auto status = session.open())
        return *status;
    Finished delegate;
    DownloadsDeleterController controller(&delegate);
    controller.addToNotifications();
    controller.deleteDownloads();
    return session.finishDeletion(
        delegate.outcome, !controller.downloadsToDelete().empty(),
        QStringLiteral("Deleted %1 downloads").arg(controller.downloadsToDelete().size()));
}

const CliCommand::Registrar
    registrar({QStringLiteral("delete-downloads"),
               QStringLiteral("delete-downloads [--yes] [--root DIR]  delete the opened "
                              "downloads below the highest of each manga"),
               deleteDownloads});

} // namespace
