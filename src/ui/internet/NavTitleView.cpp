#include "ui/internet/NavTitleView.h"

#include <QFontMetricsF>
#include <QStyle>
#include <QStyleOptionToolButton>

#include <cmath>

namespace {

constexpr int MinimumWidth = 60;
// What the style puts between the icon and the text.
constexpr int IconGap = 4;

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

int NavTitleView::chrome() const
{
    // Whatever the button adds around its text (icon, gap, the bar's padding
    // and border from its style sheet), as the style itself measures it.
    QStyleOptionToolButton option;
    initStyleOption(&option);
    const int iconPart = icon().isNull() ? 0 : iconSize().width() + IconGap;
    const int probe = 1000;
    const QSize content(probe + iconPart, option.fontMetrics.height());
    return style()->sizeFromContents(QStyle::CT_ToolButton, &option, content, this).width() - probe;
}

int NavTitleView::textWidth(const QString &text) const
{
    return int(std::ceil(QFontMetricsF(font()).horizontalAdvance(text)));
}

QSize NavTitleView::sizeHint() const
{
    return {textWidth(fullText_) + chrome(), QToolButton::sizeHint().height()};
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
    const int room = width() - chrome();
    QString shown = textWidth(fullText_) <= room
                        ? fullText_
                        : fontMetrics().elidedText(fullText_, Qt::ElideRight, std::max(0, room));
    // A title's "&" is text, not a shortcut mark.
    setText(shown.replace(u'&', QStringLiteral("&&")));
}
