#pragma once

#include <memory>

#include "ui/kit/ScreenServices.h"
#include "ui/kit/ViewController.h"

class Favorite;
class NavFavoriteEditViewController;
class QAction;
class QLineEdit;

// Hears that a favourite was changed and saved.
class NavFavoriteEditViewControllerDelegate
{
public:
    virtual ~NavFavoriteEditViewControllerDelegate() = default;
    virtual void navFavoriteEditViewControllerDidSave(NavFavoriteEditViewController *controller) = 0;
};

// Changes a favourite's title or address, for a site that renamed or moved
// a manga. Neither may be left empty: the chapter list needs both.
// Thread contract: main thread only.
class NavFavoriteEditViewController : public ViewController
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NavFavoriteEditViewController)

public:
    NavFavoriteEditViewController(std::shared_ptr<Favorite> favorite, ScreenServices services,
                                  NavFavoriteEditViewControllerDelegate *delegate, QWidget *parent = nullptr);

    const std::shared_ptr<Favorite> &favorite() const { return favorite_; }
    QLineEdit *titleField() const { return titleField_; }
    QLineEdit *urlField() const { return urlField_; }
    QAction *saveButton() const { return saveAction_; }

    // Stores both texts, saves and closes; nothing while a field is empty.
    void save();

protected:
    void viewDidLoad() override;

private:
    bool fieldsFilled() const;

    std::shared_ptr<Favorite> favorite_;
    ScreenServices services_;
    NavFavoriteEditViewControllerDelegate *delegate_;
    QLineEdit *titleField_ = nullptr; // QObject children
    QLineEdit *urlField_ = nullptr;
    QAction *saveAction_ = nullptr;
};
