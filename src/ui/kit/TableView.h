#pragma once

#include <memory>
#include <optional>
#include <vector>

#include <QWidget>

#include "ui/kit/IndexPath.h"
#include "ui/kit/TableCell.h"

class QListView;
class QPainter;
class QVBoxLayout;
class SectionIndexBar;
class TableItemDelegate;
class TableModel;
class TableViewDataSource;
class TableViewDelegate;

// A scrolling list of rows in sections, plain (headers in a grey strip) or
// grouped (rows in white blocks on a grey ground). Rows are described by a
// TableViewDataSource and user actions go to a TableViewDelegate. In edit
// mode each deletable row shows a red minus; pressing it offers a "Delete"
// button that asks the data source to delete the row.
// The tap methods do what a click does, for keyboard use and tests.
// Thread contract: main thread only.
class TableView : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TableView)

public:
    enum class Style { Plain, Grouped };

    explicit TableView(Style style = Style::Plain, QWidget *parent = nullptr);
    ~TableView() override;

    Style style() const { return style_; }
    // Neither is owned; both must outlive the table or be unset first.
    void setDataSource(TableViewDataSource *dataSource);
    void setDelegate(TableViewDelegate *delegate);

    void reloadData();
    // Repaints one row from the data source without rebuilding the table,
    // for rows that change often (a progress bar).
    void reloadRow(const IndexPath &path);
    int numberOfSections() const { return static_cast<int>(rowCounts_.size()); }
    int numberOfRows(int section) const;

    int rowHeight() const { return rowHeight_; }
    void setRowHeight(int height);

    // A widget above the rows (a search field, a status line).
    void setTableHeaderView(QWidget *header);

    bool isEditing() const { return editing_; }
    void setEditing(bool editing);
    void setAllowsSelection(bool allows) { allowsSelection_ = allows; }
    void setAllowsSelectionDuringEditing(bool allows) { allowsSelectionDuringEditing_ = allows; }

    // Selection without asking the delegate, as a program does it.
    void selectRow(const IndexPath &path);
    void deselectRow();
    std::optional<IndexPath> indexPathForSelectedRow() const;
    void scrollToRow(const IndexPath &path);
    void scrollToSection(int section);

    // What a click does on the row, its accessory button, its push button,
    // and on the delete confirmation in edit mode.
    void tapRow(const IndexPath &path);
    void tapAccessoryButton(const IndexPath &path);
    void tapButton(const IndexPath &path);
    void tapDelete(const IndexPath &path);

    // What the data source says the row shows.
    TableCell cellForRow(const IndexPath &path) const { return cellAt(path); }

    QStringList sectionIndexTitles() const { return indexTitles_; }
    void tapSectionIndexTitle(int index);

    QListView *listView() const { return list_; }

private:
    friend class TableItemDelegate;
    friend class TableModel;
    friend class SectionIndexBar;
    friend class TableListView;

    enum class Kind { Header, Row, Footer };
    struct Entry {
        Kind kind;
        int section;
        int row;
    };
    enum class Zone { Body, Minus, DeleteConfirm, Button, Accessory };

    Entry entryAt(int flat) const;
    int flatIndex(const IndexPath &path) const;
    int flatCount() const;
    // Every entry's top from the section counts and row heights; the list
    // view places and finds rows by it.
    void layoutEntries();
    int contentHeight() const;
    // The entry at a height in the content, or -1 past either end.
    int entryAtOffset(int y) const;
    bool isDeletable(const IndexPath &path) const;
    bool rowSelectable(const IndexPath &path) const;
    TableCell cellAt(const IndexPath &path) const;
    int heightOf(int flat) const;
    void paintEntry(QPainter *painter, const QRect &rect, int flat, bool selected) const;
    Zone zoneAt(int flat, const QRect &rect, const QPoint &pos) const;
    QRect contentRect(const QRect &rect) const;
    // Puts the rows' accessory views over the rows on screen, hides the others.
    void placeAccessoryViews();
    bool eventFilter(QObject *watched, QEvent *event) override;

    Style style_;
    TableViewDataSource *dataSource_ = nullptr;
    TableViewDelegate *delegate_ = nullptr;
    QVBoxLayout *layout_ = nullptr;
    QListView *list_ = nullptr;
    std::unique_ptr<TableModel> model_;
    SectionIndexBar *indexBar_ = nullptr;
    QWidget *header_ = nullptr;

    // Per section: its row count and where it starts in the flat list of
    // headers, rows and footers the list view shows.
    std::vector<int> rowCounts_;
    std::vector<int> sectionStarts_;
    std::vector<bool> hasHeader_;
    std::vector<bool> hasFooter_;
    QStringList indexTitles_;
    // Per entry of the flat list, where it starts; one more at the end.
    std::vector<int> entryTops_{0};

    int rowHeight_ = 44;
    bool editing_ = false;
    bool allowsSelection_ = true;
    bool allowsSelectionDuringEditing_ = false;
    std::optional<IndexPath> pendingDelete_;
    std::vector<QPointer<QWidget>> placedViews_;
};
