#pragma once

#include "settings/SettingsKeys.h"
#include "ui/kit/MyAlertViewController.h"

class MyUserDefaults;
class QCheckBox;

// A help notice: the notice with a check box for not showing it again.
// Each screen that explains itself keeps one and asks showIfNeeded() when it
// has appeared; its button callback calls dismiss() with the same keys. So
// a notice shows once per run until the user ticks the box.
// Thread contract: main thread only.
class MyHelpAlertViewController : public MyAlertViewController
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MyHelpAlertViewController)

public:
    MyHelpAlertViewController(const QString &title, const QString &message, QObject *delegate,
                              ButtonSelector buttonSelector, QWidget *parent = nullptr);

    QCheckBox *checkboxButton() const { return checkboxButton_; }
    bool isCheckboxSelected() const { return checkboxSelected_; }
    // The check box's action: flips the choice and shows it.
    void checkboxSelected();

    // Lays the notice over `screen` when the show key is set and the notice
    // has not been viewed in this run. True when it is (or already was) up.
    bool showIfNeeded(QWidget *screen, MyUserDefaults &defaults, const SettingsKeys::HelpNoticeKeys &keys);
    // Records the user's answer (show again unless ticked; viewed in this
    // run), writes the settings and takes the notice off the screen.
    void dismiss(MyUserDefaults &defaults, const SettingsKeys::HelpNoticeKeys &keys);

protected:
    void addControls() override;

private:
    QCheckBox *checkboxButton_ = nullptr; // QObject child
    bool checkboxSelected_ = false;
};
