#include "cli/CliCommand.h"
#include "cli/CliSession.h"
#include "cli/CliSupport.h"
#include "download/DownloadsDeleterController.h"

namespace {

class Finished : public DownloadsDeleterControllerDelegate
{
public:
    void downloadsDeleterDidFinish(DownloadsDeleterController &) override { done = true; }
    void downloadsDeleterDidFail(DownloadsDeleterController &, const Error &error) override
    {
        failure = error;
    }
    bool done = false;
    std::optional<Error> failure;
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
    if (!controller.downloadsToDelete().empty() &&
        !session.wait([&] { return delegate.done || delegate.failure; }, CliSession::libraryIsBusy))
        return CliSupport::fail(QStringLiteral("the deletion stopped without saying how it ended"));
    if (delegate.failure)
        return CliSupport::fail(QStringLiteral("Nothing was deleted: ") +
                                delegate.failure->localizedDescription());
    if (session.sawAlert())
        return 1;
    if (delegate.done)
        CliSupport::printLine(
            QStringLiteral("Deleted %1 downloads").arg(controller.downloadsToDelete().size()));
    return 0;
}

const CliCommand::Registrar
    registrar({QStringLiteral("delete-downloads"),
               QStringLiteral("delete-downloads [--yes] [--root DIR]  delete the opened "
                              "downloads below the highest of each manga"),
               deleteDownloads});

} // namespace
