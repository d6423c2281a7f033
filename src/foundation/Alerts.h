#pragma once

#include <functional>
#include <memory>

#include <QString>
#include <QStringList>

// One modal alert: what the user reads and the buttons offered.
struct AlertRequest {
    QString title;
    QString message;
    QString cancelButton;      // may be empty
    QStringList otherButtons;  // shown after the cancel button
    int tag = 0;
    // Called on the main thread with the pressed button's index:
    // 0 is the cancel button when there is one, then the other buttons.
    std::function<void(int buttonIndex)> onButton;
};

// The alert service. show() returns at once; the button callback comes
// later. Thread contract: main thread only (screens own the presentation).
class Alerts
{
public:
    virtual ~Alerts() = default;
    virtual void show(AlertRequest request) = 0;

    static Alerts &instance();
    // Installs the process's presenter (the GUI's message boxes, or a test
    // recorder). Without one, alerts are printed to standard error.
    static void install(std::shared_ptr<Alerts> alerts);
};

// Shows alerts nowhere but keeps them so tests can read and answer them.
class AlertRecorder : public Alerts
{
public:
    void show(AlertRequest request) override;

    const std::vector<AlertRequest> &alerts() const { return alerts_; }
    bool isEmpty() const { return alerts_.empty(); }
    const AlertRequest &last() const { return alerts_.back(); }
    // Presses a button of the oldest unanswered alert and forgets it.
    void press(int buttonIndex);
    void clear() { alerts_.clear(); }

private:
    std::vector<AlertRequest> alerts_;
};
