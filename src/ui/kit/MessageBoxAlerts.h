#pragma once

#include <QPointer>
#include <QWidget>

#include "foundation/Alerts.h"

// The application's alerts: a message box modal to the window, opened
// without blocking; the request's callback hears the pressed button.
// Thread contract: main thread only.
class MessageBoxAlerts : public Alerts
{
public:
    // Alerts are shown over `window` when set, otherwise over the active window.
    explicit MessageBoxAlerts(QWidget *window = nullptr);

    void show(AlertRequest request) override;

private:
    QPointer<QWidget> window_;
};
