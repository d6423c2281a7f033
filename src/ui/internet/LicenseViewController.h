#pragma once

#include <QString>

#include "ui/kit/ScreenServices.h"
#include "ui/kit/ViewController.h"

class QLabel;
class QPropertyAnimation;
class QPushButton;

// The notice that a book is licensed where the user is, laid over the
// book's chapter list on a black ground: the site's own words, a way back
// to the list and a way to the book shop's search for the title. The list
// underneath is complete; the panel only asks the user to think of buying.
// Thread contract: main thread only.
class LicenseViewController : public ViewController
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LicenseViewController)

public:
    // Covers `screen` (its whole area, following its size) once shown.
    LicenseViewController(const QString &bookTitle, ScreenServices services, QWidget *screen);

    const QString &bookTitle() const { return bookTitle_; }
    QLabel *label() const { return label_; }
    QPushButton *dismissButton() const { return dismissButton_; }
    QPushButton *buyButton() const { return buyButton_; }
    bool isShowing() const { return !isHidden(); }

    // An empty text shows nothing.
    void showLicenseInfo(const QString &text);
    void dismissLicenseInfo();
    // Opens the book shop's search for the title.
    void buyAmazon();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString bookTitle_;
    ScreenServices services_;
    QLabel *label_ = nullptr; // QObject children
    QPushButton *dismissButton_ = nullptr;
    QPushButton *buyButton_ = nullptr;
    QPropertyAnimation *fade_ = nullptr;
};
