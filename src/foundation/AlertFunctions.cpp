#include "foundation/AlertFunctions.h"

#include <cstdlib>
#include <mutex>

#include "foundation/Alerts.h"
#include "foundation/Localized.h"
#include "foundation/MainThread.h"

namespace {

std::mutex exitHookMutex;
std::function<void(int)> exitHook;

} // namespace

void AlertWithTitleMessageAndDelegate(const QString &title, const QString &message, AlertDelegate delegate)
{
    AlertRequest request;
    request.title = title;
    request.message = message;
    request.cancelButton = localized("Ok");
    if (delegate)
        request.onButton = [delegate = std::move(delegate)](int) { delegate(); };
    auto show = [request = std::move(request)]() mutable { Alerts::instance().show(std::move(request)); };
    if (isMainThread())
        show();
    else
        performOnMain(std::move(show));
}

void AlertWithTitleAndMessage(const QString &title, const QString &message)
{
    AlertWithTitleMessageAndDelegate(title, message, {});
}

void AlertWithTitle(const QString &title)
{
    AlertWithTitleMessageAndDelegate(title, {}, {});
}

void AlertWithMessage(const QString &message)
{
    AlertWithTitleMessageAndDelegate({}, message, {});
}

void AlertWithTitleAndError(const QString &title, const Error &error)
{
    // Errors here carry no separate failure reason, so the message is the
    // title followed by the description (no dangling placeholder).
    QString message = title;
    if (!error.localizedDescription().isEmpty())
        message += u' ' + error.localizedDescription();
    AlertWithTitleAndMessage(title, message);
}

void CannotConnectMessage()
{
    AlertWithTitle(localized("Cannot connect to the internet"));
}

void FileManagerFatalAlertErrorAndDelegate(const Error &error, AlertDelegate delegate)
{
    AlertWithTitleMessageAndDelegate(localized("File error"), error.localizedDescription(),
                                     delegate ? std::move(delegate) : FatalAlertDelegate());
}

void FatalAlertWithTitleAndMessage(const QString &title, const QString &message)
{
    AlertWithTitleMessageAndDelegate(title, message, FatalAlertDelegate());
}

void CoreDataFatalAlert(const QString &text)
{
    AlertWithTitleAndMessage(localized("Error in saving data"), text);
}

void CoreDataFatalErrorAlert(const Error &error)
{
    if (error.code == MergeConflictErrorCode) {
        AlertWithTitleAndMessage(localized("Error in saving data"),
                                 localized("If you keep seeing this error, try rebooting your device.") +
                                     u'\n' +
                                     localized("Then save a random manga that you had not previously "
                                               "downloaded to your library."));
        return;
    }
    CoreDataFatalAlert(error.localizedDescription());
}

void SiteTransitionAlert(const QString &siteName)
{
    const QString first =
        localized("%1 will undergo a transition to a new web layout shortly.").arg(siteName);
    AlertWithTitleAndMessage(
        localized("Important"),
        QStringLiteral("%1  %2  %3\n%4")
            .arg(first, localized("This may cause some disruption in accessing the mangas."),
                 localized("We will fix any problems as soon as possible if they arise."),
                 localized("Thank you for understanding.")));
}

AlertDelegate FatalAlertDelegate()
{
    return [] { FatalExit(-1); };
}

void FatalExit(int status)
{
    std::function<void(int)> hook;
    {
        std::lock_guard lock(exitHookMutex);
        hook = exitHook;
    }
    if (hook)
        hook(status);
    else
        std::exit(status);
}

void SetFatalExitHook(std::function<void(int status)> hook)
{
    std::lock_guard lock(exitHookMutex);
    exitHook = std::move(hook);
}

void ConfirmWithMessage(const QString &message, int tag, std::weak_ptr<bool> alive,
                        std::function<void(int buttonIndex)> onButton)
{
    AlertRequest alert;
    alert.title = localized("Are you sure?");
    alert.message = message;
    alert.cancelButton = localized("Cancel");
    alert.otherButtons = {localized("Ok")};
    alert.tag = tag;
    alert.onButton = [alive = std::move(alive), onButton = std::move(onButton)](int index) {
        if (alive.lock())
            onButton(index);
    };
    Alerts::instance().show(std::move(alert));
}
