#pragma once

#include <memory>

#include <QString>

// The application's wait overlay as the engine sees it: shown over the whole
// window while bulk work runs, with a label that the work writes its
// progress into ("Processing 3/12"). The application delegate installs its
// overlay; yomora-cli installs one that prints the label; without one,
// nothing is shown. Thread contract: main thread only (operations hand their
// label texts over with performOnMain).
class WaitOverlay
{
public:
    virtual ~WaitOverlay() = default;
    virtual void show() {}
    virtual void hide() {}
    virtual void setLabelText(const QString &text) {}

    static WaitOverlay &instance();
    static void install(std::shared_ptr<WaitOverlay> overlay);
    // Hands a progress text to the overlay's label from any thread, without
    // waiting for it.
    static void postLabelText(const QString &text);
};
