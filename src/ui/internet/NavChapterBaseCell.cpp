#include "ui/internet/NavChapterBaseCell.h"

#include <algorithm>

#include <QFontMetrics>

#include "foundation/Localized.h"

namespace {

constexpr int TitlePixels = 17;
constexpr int ButtonPixels = 14;
constexpr int TitleLines = 4;
constexpr int HeightLimit = 1000;
// Above and below the title, and the second line's room.
constexpr int Padding = 10;
constexpr int SubtitleRoom = 16;
// The "Download" button, the margins and the scroll bar.
constexpr int ButtonRoom = 130;

} // namespace

NavChapterBaseCell::NavChapterBaseCell(const QString &title, const QString &subtitle)
    : mainLabel(title), subtitleLabel(subtitle)
{}

QFont NavChapterBaseCell::titleFont(const QFont &base)
{
    QFont font = base;
    font.setBold(true);
    font.setPixelSize(TitlePixels);
    return font;
}

int NavChapterBaseCell::titleColumnForWidth(int tableWidth)
{
    return std::max(int(TitleColumn), tableWidth - ButtonRoom);
}

int NavChapterBaseCell::cellHeightForString(const QString &text, const QFont &base, int column)
{
    const QFontMetrics metrics(titleFont(base));
    const QRect bounds =
        metrics.boundingRect(QRect(0, 0, column, HeightLimit), Qt::TextWordWrap | Qt::AlignLeft, text);
    return std::min(bounds.height(), HeightLimit) + Padding + SubtitleRoom;
}

TableCell NavChapterBaseCell::tableCell(const QFont &base) const
{
    TableCell cell;
    cell.text = mainLabel;
    cell.font = titleFont(base);
    cell.textLines = TitleLines;
    cell.selectable = false;
    if (hasSubtitle() && !subtitleLabel.isEmpty()) {
        cell.style = TableCell::Style::Subtitle;
        cell.detailText = subtitleLabel;
        QFont small = base;
        small.setPixelSize(ButtonPixels);
        cell.detailFont = small;
        cell.detailColor = Qt::gray;
    }
    if (hasButton())
        cell.buttonTitle = localized("Download");
    return cell;
}
