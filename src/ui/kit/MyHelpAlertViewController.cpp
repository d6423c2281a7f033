#include "ui/kit/MyHelpAlertViewController.h"

#include <QCheckBox>
#include <QVBoxLayout>

#include "foundation/Localized.h"
#include "settings/MyUserDefaults.h"

MyHelpAlertViewController::MyHelpAlertViewController(const QString &title, const QString &message,
                                                     QObject *delegate, ButtonSelector buttonSelector,
                                                     QWidget *parent)
    : MyAlertViewController(title, message, delegate, std::move(buttonSelector), parent)
{
    setObjectName(QStringLiteral("HelpNotice"));
}

void MyHelpAlertViewController::addControls()
{
    checkboxButton_ = new QCheckBox(localized("Don't show this again"), panelLayout()->parentWidget());
    checkboxButton_->setChecked(checkboxSelected_);
    // The box only reports the click; the choice is kept here.
    connect(checkboxButton_, &QCheckBox::clicked, this, [this] { checkboxSelected(); });
    panelLayout()->addWidget(checkboxButton_);
}

void MyHelpAlertViewController::checkboxSelected()
{
    checkboxSelected_ = !checkboxSelected_;
    if (checkboxButton_)
        checkboxButton_->setChecked(checkboxSelected_);
}

bool MyHelpAlertViewController::showIfNeeded(QWidget *screen, MyUserDefaults &defaults,
                                             const SettingsKeys::HelpNoticeKeys &keys)
{
    if (!defaults.boolForKey(keys.show) || defaults.boolForKey(keys.viewed))
        return false;
    showOver(screen);
    return true;
}

void MyHelpAlertViewController::dismiss(MyUserDefaults &defaults, const SettingsKeys::HelpNoticeKeys &keys)
{
    defaults.setBool(!checkboxSelected_, keys.show);
    defaults.setBool(true, keys.viewed);
    defaults.synchronize();
    removeFromScreen();
}
