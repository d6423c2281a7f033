#include "ui/internet/NavFavoriteEditViewController.h"

#include <QAction>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "foundation/Localized.h"
#include "store/AppData.h"
#include "store/Favorite.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/NavigationItem.h"

NavFavoriteEditViewController::NavFavoriteEditViewController(std::shared_ptr<Favorite> favorite,
                                                             ScreenServices services,
                                                             NavFavoriteEditViewControllerDelegate *delegate,
                                                             QWidget *parent)
    : ViewController(parent), favorite_(std::move(favorite)), services_(std::move(services)),
      delegate_(delegate)
{
    setTitle(localized("Edit Favorite"));
    saveAction_ = new QAction(localized("Save"), this);
    connect(saveAction_, &QAction::triggered, this, &NavFavoriteEditViewController::save);
    navigationItem()->setRightBarButtonItem(saveAction_);
}

void NavFavoriteEditViewController::viewDidLoad()
{
    setObjectName(QStringLiteral("NavFavoriteEdit"));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(
        QStringLiteral("#NavFavoriteEdit { background: #dfe3e8; }"
                       "QLineEdit { background: white; border: 1px solid #b8bec6; border-radius: 6px;"
                       " padding: 6px; }"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 16, 12, 12);
    auto *form = new QFormLayout;
    form->setRowWrapPolicy(QFormLayout::WrapAllRows);
    titleField_ = new QLineEdit(favorite_ ? favorite_->title() : QString(), this);
    urlField_ = new QLineEdit(favorite_ ? favorite_->urlString() : QString(), this);
    form->addRow(localized("Title"), titleField_);
    form->addRow(localized("URL"), urlField_);
    layout->addLayout(form);
    layout->addStretch(1);

    for (QLineEdit *field : {titleField_, urlField_}) {
        field->setClearButtonEnabled(true);
        connect(field, &QLineEdit::textChanged, this, [this] { saveAction_->setEnabled(fieldsFilled()); });
        connect(field, &QLineEdit::returnPressed, this, [this] {
            if (fieldsFilled())
                save();
        });
    }
    saveAction_->setEnabled(fieldsFilled());
}

bool NavFavoriteEditViewController::fieldsFilled() const
{
    return titleField_ && urlField_ && !titleField_->text().isEmpty() && !urlField_->text().isEmpty();
}

void NavFavoriteEditViewController::save()
{
    if (!fieldsFilled() || !favorite_)
        return;
    favorite_->setTitle(titleField_->text());
    favorite_->setUrlString(urlField_->text());
    if (services_.appData)
        services_.appData->save();
    if (delegate_)
        delegate_->navFavoriteEditViewControllerDidSave(this);
    if (NavigationController *nav = navigationController())
        nav->popViewController();
}
