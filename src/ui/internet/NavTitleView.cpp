#include "ui/internet/NavTitleView.h"

#include <QFontMetrics>

namespace {

constexpr int MinimumWidth = 60;
// Padding and the gap between icon and text.
constexpr int Chrome = 30;

} // namespace

NavTitleView::NavTitleView(const QString &text, QWidget *parent) : QToolButton(parent)
{
    setAutoRaise(true);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    // The icon follows the text, where the handheld shows it.
    setLayoutDirection(Qt::RightToLeft);
    QFont bold = font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.15);
    setFont(bold);
    setStyleSheet(QStringLiteral("QToolButton { color: white; border: none; background: transparent; }"
                                 "QToolButton:disabled { color: #c0c0c0; }"));
    setFullText(text);
}

void NavTitleView::setFullText(const QString &text)
{
    fullText_ = text;
    setToolTip(text);
    setAccessibleName(text);
    updateGeometry();
    elide();
}

QSize NavTitleView::sizeHint() const
{
    const int iconWidth = QToolButton::icon().isNull() ? 0 : iconSize().width();
    return {fontMetrics().horizontalAdvance(fullText_) + iconWidth + Chrome,
            QToolButton::sizeHint().height()};
}

QSize NavTitleView::minimumSizeHint() const
{
    return {MinimumWidth, QToolButton::minimumSizeHint().height()};
}

void NavTitleView::resizeEvent(QResizeEvent *event)
{
    QToolButton::resizeEvent(event);
    elide();
}

void NavTitleView::elide()
{
    const int iconWidth = QToolButton::icon().isNull() ? 0 : iconSize().width();
    setText(fontMetrics().elidedText(fullText_, Qt::ElideRight, std::max(0, width() - iconWidth - Chrome)));
}
