#include "ui/library/ChapterCell.h"

#include "foundation/Localized.h"
#include "store/Chapter.h"

namespace {
constexpr int TitlePixels = 15;
constexpr int StatusPixels = 14;
} // namespace

QFont ChapterCell::titleFont(const QFont &base)
{
    QFont font = base;
    font.setBold(true);
    font.setPixelSize(TitlePixels);
    return font;
}

bool ChapterCell::isPlain(const Chapter &chapter, bool isLastRead)
{
    return chapter.lastPageRead() >= 0 && chapter.isComplete() && !isLastRead;
}

QString ChapterCell::statusFor(const Chapter &chapter, bool isLastRead)
{
    if (isLastRead)
        return localized("Last read");
    return chapter.isComplete() ? localized("Unread") : localized("Incomplete");
}

TableCell ChapterCell::plainCell(const QString &title, const QFont &base)
{
    TableCell cell;
    cell.text = title;
    cell.font = titleFont(base);
    cell.textLines = 2;
    cell.accessory = TableCell::Accessory::DisclosureIndicator;
    return cell;
}

ChapterCell::ChapterCell(const QString &title, const QString &status) : mainLabel(title), statusLabel(status)
{}

TableCell ChapterCell::tableCell(const QFont &base) const
{
    TableCell cell;
    cell.style = subtitleLabel.isEmpty() ? TableCell::Style::Default : TableCell::Style::Subtitle;
    cell.text = mainLabel;
    cell.detailText = subtitleLabel;
    cell.statusText = statusLabel;
    cell.font = titleFont(base);
    cell.textLines = 2;
    QFont small = base;
    small.setPixelSize(StatusPixels);
    cell.detailFont = small;
    cell.detailColor = Qt::gray;
    return cell;
}
