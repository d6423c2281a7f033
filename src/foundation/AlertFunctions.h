#pragma once

#include <functional>
#include <memory>

#include <QString>

#include "foundation/Error.h"

// The app's message alerts: one "Ok" button, shown through the Alerts
// service, returning at once. Callable from any thread: off the main thread
// the alert is queued to it.

// Told when the user presses the button.
using AlertDelegate = std::function<void()>;

void AlertWithTitleMessageAndDelegate(const QString &title, const QString &message, AlertDelegate delegate);
void AlertWithTitleAndMessage(const QString &title, const QString &message);
void AlertWithTitle(const QString &title);
void AlertWithMessage(const QString &message);
void AlertWithTitleAndError(const QString &title, const Error &error);
void CannotConnectMessage();

// The bulk operations' "Are you sure?" question with "Cancel" and "Ok".
// onButton gets the pressed index (1 is "Ok") unless `alive` has expired by
// then, so a controller that is gone is never called back. Main thread only.
void ConfirmWithMessage(const QString &message, int tag, std::weak_ptr<bool> alive,
                        std::function<void(int buttonIndex)> onButton);

// Store and file failures the program cannot recover from. The delegate that
// ends the program is FatalAlertDelegate(); it is the default.
void FileManagerFatalAlertErrorAndDelegate(const Error &error, AlertDelegate delegate = {});
// Shows title and message and ends the program when the button is pressed.
void FatalAlertWithTitleAndMessage(const QString &title, const QString &message);
// Save failures: the alert only, so a later save can try again.
void CoreDataFatalAlert(const QString &text);
void CoreDataFatalErrorAlert(const Error &error);

// The notice shown once before a site moves to a new layout, naming the site
// (the sites' own notices are in sites/SiteTransitionAlerts.h).
void SiteTransitionAlert(const QString &siteName);

// The merge-conflict code of a store save error.
inline constexpr int MergeConflictErrorCode = 133020;

// Ends the program with status -1 through the exit hook.
AlertDelegate FatalAlertDelegate();
// Ends the process with the given status. Tests replace the hook so that a
// fatal alert can be pressed without the test program dying; an empty hook
// restores std::exit.
void FatalExit(int status);
void SetFatalExitHook(std::function<void(int status)> hook);
