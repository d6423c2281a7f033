#include "ui/kit/ActionSheet.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

ActionSheet *ActionSheet::show(QWidget *over, Request request)
{
    // Owned by the window; it deletes itself when answered.
    auto *sheet = new ActionSheet(over->window(), std::move(request));
    sheet->QWidget::show();
    sheet->raise();
    sheet->setFocus();
    return sheet;
}

ActionSheet::ActionSheet(QWidget *host, Request request) : QWidget(host), request_(std::move(request))
{
    setObjectName(QStringLiteral("ActionSheet"));
    setFocusPolicy(Qt::StrongFocus);
    if (!request_.destructiveButton.isEmpty())
        titles_ << request_.destructiveButton;
    titles_ << request_.otherButtons;
    if (!request_.cancelButton.isEmpty())
        titles_ << request_.cancelButton;

    panel_ = new QWidget(this);
    panel_->setObjectName(QStringLiteral("ActionSheetPanel"));
    panel_->setAttribute(Qt::WA_StyledBackground);
    panel_->setStyleSheet(
        QStringLiteral("#ActionSheetPanel { background: rgba(40,40,40,235); }"
                       "QLabel { color: #ddd; }"
                       "QPushButton { background: #f2f2f2; color: black; border-radius: 6px; padding: 9px; "
                       "font-weight: bold; }"
                       "QPushButton[role=\"destructive\"] { background: #d9302c; color: white; }"
                       "QPushButton[role=\"cancel\"] { background: #555; color: white; }"));
    auto *layout = new QVBoxLayout(panel_);
    layout->setContentsMargins(18, 12, 18, 14);
    layout->setSpacing(8);
    if (!request_.title.isEmpty()) {
        auto *title = new QLabel(request_.title, panel_);
        title->setAlignment(Qt::AlignCenter);
        title->setWordWrap(true);
        layout->addWidget(title);
    }
    for (int i = 0; i < titles_.size(); ++i) {
        auto *button = new QPushButton(titles_[i], panel_);
        if (i == 0 && !request_.destructiveButton.isEmpty())
            button->setProperty("role", QStringLiteral("destructive"));
        if (i == cancelButtonIndex())
            button->setProperty("role", QStringLiteral("cancel"));
        connect(button, &QPushButton::clicked, this, [this, i] { press(i); });
        layout->addWidget(button);
    }
    host->installEventFilter(this);
    setGeometry(host->rect());
    panel_->setFixedWidth(width());
    panel_->adjustSize();
    panel_->move(0, height() - panel_->height());
}

QStringList ActionSheet::buttonTitles() const
{
    return titles_;
}

int ActionSheet::cancelButtonIndex() const
{
    return request_.cancelButton.isEmpty() ? -1 : static_cast<int>(titles_.size()) - 1;
}

void ActionSheet::press(int index)
{
    if (done_)
        return;
    done_ = true;
    hide();
    deleteLater();
    if (request_.onButton)
        request_.onButton(index);
}

bool ActionSheet::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
        panel_->setFixedWidth(width());
        panel_->adjustSize();
        panel_->move(0, height() - panel_->height());
    }
    return QWidget::eventFilter(watched, event);
}

void ActionSheet::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && cancelButtonIndex() >= 0)
        press(cancelButtonIndex());
    else
        QWidget::keyPressEvent(event);
}

void ActionSheet::mousePressEvent(QMouseEvent *event)
{
    // A click on the shade outside the panel is the cancel button, if any.
    if (!panel_->geometry().contains(event->position().toPoint()) && cancelButtonIndex() >= 0)
        press(cancelButtonIndex());
}

void ActionSheet::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 0, 100));
}
