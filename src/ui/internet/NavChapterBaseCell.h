#pragma once

#include <QFont>
#include <QString>

#include "ui/kit/TableCell.h"

// A chapter row of the chapter lists: the chapter's title in bold, wrapped
// in a narrow column so the "Download" button keeps its place at the right,
// with, depending on the variant, a grey second line and the button. The
// variants differ only in which of the two they show, so a row's look
// follows from its state alone.
class NavChapterBaseCell
{
public:
    explicit NavChapterBaseCell(const QString &title, const QString &subtitle = QString());
    virtual ~NavChapterBaseCell() = default;
    NavChapterBaseCell(const NavChapterBaseCell &) = default;
    NavChapterBaseCell &operator=(const NavChapterBaseCell &) = default;

    QString mainLabel;
    QString subtitleLabel;

    virtual bool hasSubtitle() const { return false; }
    virtual bool hasButton() const { return false; }

    TableCell tableCell(const QFont &base) const;

    static QFont titleFont(const QFont &base);
    // The row height that fits `text` wrapped in the title's column, with
    // room for the second line. A wider table gives the title more room.
    static int cellHeightForString(const QString &text, const QFont &base, int column = TitleColumn);
    // The title's column in a table `tableWidth` wide: what the button leaves.
    static int titleColumnForWidth(int tableWidth);

    static constexpr int TitleColumn = 190;
};
