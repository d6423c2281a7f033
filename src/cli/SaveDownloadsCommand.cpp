#include "cli/CliCommand.h"
#include "cli/CliSession.h"
#include "cli/CliSupport.h"
#include "download/DownloadsMoverController.h"

namespace {

class Finished : public DownloadsMoverControllerDelegate
{
public:
    void downloadsMoverDidFinish(DownloadsMoverController &) override { done = true; }
    bool done = false;
};

int saveDownloads(const QStringList &arguments)
{
    QStringList args = arguments;
    CliSession session(args, CliSession::HomeTree | CliSession::Confirmations);
    if (!args.isEmpty())
        return CliSupport::fail(QStringLiteral("usage: yomora-cli save-downloads [--yes] [--root DIR]"), 2);
    if (const auto status = session.open())
        return *status;
    Finished delegate;
    DownloadsMoverController controller(&delegate);
    controller.addToNotifications();
    controller.moveDownloads();
    // Nothing further comes once the question was declined or refused.
    if (!controller.downloadsToMove().empty() &&
        !session.wait([&] { return delegate.done; }, CliSession::libraryIsBusy))
        return CliSupport::fail(QStringLiteral("the save stopped without saying how it ended"));
    if (session.sawAlert())
        return 1;
    if (delegate.done)
        CliSupport::printLine(
            QStringLiteral("Saved %1 downloads")
                .arg(qsizetype(controller.downloadsToMove().size()) - controller.failedCount()));
    return 0;
}

const CliCommand::Registrar
    registrar({QStringLiteral("save-downloads"),
               QStringLiteral("save-downloads [--yes] [--root DIR]  save the completed "
                              "downloads into the library (20 at a time)"),
               saveDownloads});

} // namespace
