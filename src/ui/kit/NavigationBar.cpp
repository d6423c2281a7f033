#include "ui/kit/NavigationBar.h"

#include <algorithm>

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QToolButton>

#include "ui/kit/NavigationItem.h"

namespace {

constexpr int BarHeight = 44;

QToolButton *makeBarButton(QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setAutoRaise(false);
    button->hide();
    return button;
}

} // namespace

NavigationBar::NavigationBar(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("NavigationBar"));
    setAttribute(Qt::WA_StyledBackground);
    setFixedHeight(BarHeight);

    layout_ = new QGridLayout(this);
    layout_->setContentsMargins(6, 4, 6, 4);
    layout_->setHorizontalSpacing(6);

    leftBox_ = new QHBoxLayout;
    back_ = makeBarButton(this);
    back_->setObjectName(QStringLiteral("BackButton"));
    back_->setArrowType(Qt::LeftArrow);
    back_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    // Alt+Left as in a browser; only the visible stack's button answers.
    back_->setShortcut(QKeySequence::Back);
    connect(back_, &QToolButton::clicked, this, &NavigationBar::backPressed);
    left_ = makeBarButton(this);
    leftBox_->addWidget(back_);
    leftBox_->addWidget(left_);
    leftBox_->addStretch();

    titleBox_ = new QHBoxLayout;
    title_ = new QLabel(this);
    title_->setObjectName(QStringLiteral("NavigationTitle"));
    title_->setAlignment(Qt::AlignCenter);
    QFont font = title_->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.15);
    title_->setFont(font);
    // A long title is shortened with an ellipsis rather than widening the
    // window: the label may be given less than its text needs.
    title_->setMinimumWidth(1);
    titleBox_->addWidget(title_);

    auto *rightBox = new QHBoxLayout;
    right_ = makeBarButton(this);
    rightBox->addStretch();
    rightBox->addWidget(right_);

    // Equal side columns keep the title centred whatever the buttons hold.
    layout_->addLayout(leftBox_, 0, 0);
    layout_->addLayout(titleBox_, 0, 1);
    layout_->addLayout(rightBox, 0, 2);
    layout_->setColumnStretch(0, 1);
    layout_->setColumnStretch(2, 1);
    applyStyle();
}

void NavigationBar::setBarStyle(Style style)
{
    style_ = style;
    applyStyle();
}

void NavigationBar::applyStyle()
{
    const bool black = style_ != Style::Default;
    const QString background = style_ == Style::BlackTranslucent ? QStringLiteral("rgba(0,0,0,180)")
                               : black                           ? QStringLiteral("#000000")
                                                                 : QStringLiteral("#d9dee5");
    const QString text = black ? QStringLiteral("#ffffff") : QStringLiteral("#1f2a36");
    const QString button = black ? QStringLiteral("#2b2b2b") : QStringLiteral("#c3cad4");
    setStyleSheet(QStringLiteral("#NavigationBar { background: %1; border-bottom: 1px solid #555; }"
                                 "#NavigationTitle { color: %2; }"
                                 "#NavigationBar QToolButton { color: %2; background: %3; border: 1px solid "
                                 "#666; border-radius: 5px; padding: 3px 8px; }"
                                 "#NavigationBar QToolButton:pressed { background: #777; }"
                                 "#NavigationBar QToolButton:disabled { color: #888; }")
                      .arg(background, text, button));
}

void NavigationBar::setItem(NavigationItem *item, const QString &backTitle)
{
    disconnect(itemConnection_);
    item_ = item;
    backTitle_ = backTitle;
    if (item)
        itemConnection_ = connect(item, &NavigationItem::changed, this, &NavigationBar::refresh);
    refresh();
}

QString NavigationBar::titleText() const
{
    return fullTitle_;
}

void NavigationBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    elideTitle();
}

void NavigationBar::elideTitle()
{
    // The title is centred between two equal side columns, each as wide as
    // the wider of the two sides' buttons.
    const int sides = std::max(layout_->itemAtPosition(0, 0)->sizeHint().width(),
                               layout_->itemAtPosition(0, 2)->sizeHint().width());
    const QMargins margins = layout_->contentsMargins();
    const int room =
        width() - margins.left() - margins.right() - 2 * sides - 2 * layout_->horizontalSpacing();
    const QString shown = title_->fontMetrics().elidedText(fullTitle_, Qt::ElideRight, std::max(room, 1));
    if (title_->text() != shown)
        title_->setText(shown);
    title_->setToolTip(shown == fullTitle_ ? QString() : fullTitle_);
}

QString NavigationBar::backButtonTitle() const
{
    return back_->isHidden() ? QString() : back_->text();
}

void NavigationBar::refresh()
{
    // The title view belongs to its screen: hand the old one back hidden.
    QWidget *view = item_ ? item_->titleView() : nullptr;
    if (titleView_ && titleView_ != view) {
        titleBox_->removeWidget(titleView_);
        titleView_->hide();
        titleView_->setParent(titleViewOwner_);
    }
    if (view && titleView_ != view) {
        // Both shown at once for a moment would widen the window for good.
        title_->hide();
        titleViewOwner_ = view->parentWidget();
        titleBox_->addWidget(view);
        view->show();
    }
    titleView_ = view;
    fullTitle_ = item_ ? item_->title() : QString();
    title_->setVisible(!view);

    QAction *leftAction = item_ ? item_->leftBarButtonItem() : nullptr;
    QAction *rightAction = item_ ? item_->rightBarButtonItem() : nullptr;
    const bool showBack = !leftAction && !backTitle_.isEmpty() && item_ && !item_->hidesBackButton();
    back_->setText(showBack ? backTitle_ : QString());
    back_->setVisible(showBack);

    for (auto [button, action] : {std::pair{left_, leftAction}, std::pair{right_, rightAction}}) {
        if (button->defaultAction() != action) {
            for (QAction *old : button->actions())
                button->removeAction(old);
            if (action)
                button->setDefaultAction(action);
        }
        button->setVisible(action && action->isVisible());
    }
    elideTitle();
}
