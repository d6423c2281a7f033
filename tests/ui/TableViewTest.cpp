#include <gmock/gmock.h>

#include <QApplication>
#include <QListView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include "ui/kit/TableView.h"
#include "ui/kit/TableViewDataSource.h"
#include "ui/kit/TableViewDelegate.h"

namespace {

void click(QWidget *widget, QPoint pos)
{
    const QPointF global = widget->mapToGlobal(QPointF(pos));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(pos), global, Qt::LeftButton, Qt::LeftButton, {});
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(pos), global, Qt::LeftButton, {}, {});
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

// Two sections of letters; rows of the second section carry a button;
// the first row of each section cannot be deleted.
class Letters : public TableViewDataSource, public TableViewDelegate
{
public:
    std::vector<QStringList> sections = {{QStringLiteral("a1"), QStringLiteral("a2")},
                                         {QStringLiteral("b1"), QStringLiteral("b2"), QStringLiteral("b3")}};
    std::vector<QString> events;
    bool refuseSelection = false;
    TableView *table = nullptr;

    int numberOfSections() override { return static_cast<int>(sections.size()); }
    int numberOfRows(int section) override { return static_cast<int>(sections[section].size()); }
    TableCell cellForRow(const IndexPath &path) override
    {
        TableCell cell;
        cell.text = sections[path.section][path.row];
        if (path.section == 1)
            cell.buttonTitle = QStringLiteral("Download");
        cell.buttonEnabled = cell.text != u"b3";
        return cell;
    }
    QString titleForHeader(int section) override
    {
        return section == 0 ? QStringLiteral("A") : QStringLiteral("B");
    }
    QStringList sectionIndexTitles() override { return {QStringLiteral("A"), QStringLiteral("B")}; }
    int sectionForSectionIndexTitle(const QString &, int index) override { return 1 - index; }
    bool canEditRow(const IndexPath &path) override { return path.row > 0; }
    void commitDeleteRow(const IndexPath &path) override
    {
        events.push_back(QStringLiteral("delete %1").arg(sections[path.section][path.row]));
        sections[path.section].removeAt(path.row);
        table->reloadData();
    }
    bool willSelectRow(const IndexPath &) override { return !refuseSelection; }
    void didSelectRow(const IndexPath &path) override
    {
        events.push_back(QStringLiteral("select %1").arg(sections[path.section][path.row]));
    }
    void rowButtonTapped(const IndexPath &path) override
    {
        events.push_back(QStringLiteral("button %1").arg(sections[path.section][path.row]));
    }
};

struct Fixture {
    Letters data;
    TableView table{TableView::Style::Plain};
    Fixture()
    {
        data.table = &table;
        table.setDataSource(&data);
        table.setDelegate(&data);
        table.resize(320, 400);
        table.show();
    }
    QStringList events() const
    {
        QStringList list;
        for (const QString &e : data.events)
            list << e;
        return list;
    }
    QRect rowRect(IndexPath path) const
    {
        // Section headers sit between the rows in the view's flat list.
        const int flat = path.section == 0 ? 1 + path.row : 4 + path.row;
        return table.listView()->visualRect(table.listView()->model()->index(flat, 0));
    }
};

TEST(TableView, SelectionAsksTheDelegateAndHonoursEditMode)
{
    Fixture f;
    EXPECT_EQ(f.table.numberOfSections(), 2);
    EXPECT_EQ(f.table.numberOfRows(1), 3);

    f.table.tapRow({1, 2});
    EXPECT_EQ(f.table.indexPathForSelectedRow(), (IndexPath{1, 2}));
    f.table.deselectRow();
    f.data.refuseSelection = true;
    f.table.tapRow({0, 0});
    EXPECT_FALSE(f.table.indexPathForSelectedRow());
    f.data.refuseSelection = false;

    f.table.setEditing(true); // no selection while editing unless allowed
    f.table.tapRow({0, 1});
    f.table.setAllowsSelectionDuringEditing(true);
    f.table.tapRow({0, 0});
    f.table.tapRow({5, 0}); // out of range: ignored
    EXPECT_EQ(f.events(), QStringList({QStringLiteral("select b3"), QStringLiteral("select a1")}));
}

TEST(TableView, ClicksReachRowsButtonsAndTheDeleteConfirmation)
{
    Fixture f;
    const QRect b1 = f.rowRect({1, 0});
    click(f.table.listView()->viewport(), QPoint(b1.right() - 30, b1.center().y()));
    click(f.table.listView()->viewport(), QPoint(b1.left() + 30, b1.center().y()));
    const QRect b3 = f.rowRect({1, 2}); // its button is disabled
    click(f.table.listView()->viewport(), QPoint(b3.right() - 30, b3.center().y()));
    EXPECT_EQ(f.events(), QStringList({QStringLiteral("button b1"), QStringLiteral("select b1")}));
    f.data.events.clear();

    // Edit mode: the minus offers "Delete" at the right; only that deletes.
    f.table.setEditing(true);
    const QRect a2 = f.rowRect({0, 1});
    click(f.table.listView()->viewport(), QPoint(a2.left() + 20, a2.center().y()));
    EXPECT_TRUE(f.events().isEmpty());
    click(f.table.listView()->viewport(), QPoint(a2.right() - 30, a2.center().y()));
    EXPECT_EQ(f.events(), QStringList({QStringLiteral("delete a2")}));
    EXPECT_EQ(f.table.numberOfRows(0), 1);

    f.table.tapDelete({0, 0}); // not deletable
    f.table.setEditing(false);
    f.table.tapDelete({1, 1}); // not editing
    EXPECT_EQ(f.events().size(), 1);
}

TEST(TableView, SectionIndexTitleJumpsToTheSectionTheDataSourceNames)
{
    Fixture f;
    f.data.sections[1] = QStringList(60, QStringLiteral("b"));
    f.table.reloadData();
    EXPECT_EQ(f.table.sectionIndexTitles(), QStringList({QStringLiteral("A"), QStringLiteral("B")}));
    f.table.tapSectionIndexTitle(0); // mapped to section 1
    EXPECT_GT(f.table.listView()->verticalScrollBar()->value(), 0);
    f.table.tapSectionIndexTitle(1);
    EXPECT_EQ(f.table.listView()->verticalScrollBar()->value(), 0);
}

// Three lettered sections of 5,000 rows; every hundredth row is taller.
class ManyRows : public TableViewDataSource, public TableViewDelegate
{
public:
    static constexpr int kRows = 5000;
    int cellsAsked = 0;

    int numberOfSections() override { return 3; }
    int numberOfRows(int) override { return kRows; }
    TableCell cellForRow(const IndexPath &path) override
    {
        ++cellsAsked;
        TableCell cell;
        cell.text = QStringLiteral("%1 %2").arg(path.section).arg(path.row);
        return cell;
    }
    QString titleForHeader(int section) override { return QString(QChar(u'A' + section)); }
    int heightForRow(const IndexPath &path) override { return path.row % 100 == 0 ? 80 : 0; }
};

TEST(TableView, ManyRowsArePlacedWithoutAskingForTheirCells)
{
    ManyRows data;
    TableView table;
    table.setRowHeight(44);
    table.setDataSource(&data);
    table.setDelegate(&data);
    table.resize(320, 480);
    table.show();
    table.listView()->viewport()->repaint();
    EXPECT_LT(data.cellsAsked, 60) << "only the rows on screen are asked for";

    // Section 1's row 150 sits under section 0 (a header, 50 tall rows,
    // 4,950 plain ones), its own header and 150 rows of which two are tall.
    QListView *list = table.listView();
    const int flat = 1 + ManyRows::kRows + 1 + 150;
    const int top = 22 + 50 * 80 + 4950 * 44 + 22 + 2 * 80 + 148 * 44;
    EXPECT_EQ(list->visualRect(list->model()->index(flat, 0)), QRect(0, top, list->viewport()->width(), 44));
    EXPECT_EQ(list->verticalScrollBar()->maximum(),
              3 * (22 + 50 * 80 + 4950 * 44) - list->viewport()->height());

    data.cellsAsked = 0;
    table.scrollToRow({1, 150});
    list->viewport()->repaint();
    EXPECT_LT(data.cellsAsked, 60);
    const QRect shown = list->visualRect(list->model()->index(flat, 0));
    EXPECT_EQ(shown.top(), 0);
    EXPECT_EQ(list->indexAt(shown.center()).row(), flat);
    EXPECT_EQ(list->indexAt(QPoint(5, shown.top() - 1)).row(), flat - 1);

    // Arrows step over the headers between sections.
    table.selectRow({0, ManyRows::kRows - 1});
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(list, &down);
    EXPECT_EQ(table.indexPathForSelectedRow(), (IndexPath{1, 0}));
    QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    QApplication::sendEvent(list, &up);
    EXPECT_EQ(table.indexPathForSelectedRow(), (IndexPath{0, ManyRows::kRows - 1}));
    QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier);
    QApplication::sendEvent(list, &end);
    EXPECT_EQ(table.indexPathForSelectedRow(), (IndexPath{2, ManyRows::kRows - 1}));
    EXPECT_EQ(list->verticalScrollBar()->value(), list->verticalScrollBar()->maximum());
}

} // namespace
