#include "ui/kit/TableView.h"

#include <algorithm>

#include <QAbstractListModel>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QListView>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTextOption>
#include <QVBoxLayout>

#include "foundation/Localized.h"
#include "ui/kit/Icons.h"
#include "ui/kit/TableViewDataSource.h"
#include "ui/kit/TableViewDelegate.h"

namespace {

constexpr int PlainHeaderHeight = 22;
constexpr int GroupedHeaderHeight = 34;
constexpr int GroupedGapHeight = 14;
constexpr int GroupedInset = 10;
constexpr int WideGroupedInset = 40;
constexpr int WideTableWidth = 600;
constexpr int Padding = 10;
constexpr int MinusSize = 22;
constexpr int AccessoryWidth = 24;
const QColor GroupedGround(0xdf, 0xe3, 0xe8);
const QColor SelectionBlue(0x1f, 0x6f, 0xd6);

QFont boldFont(const QFont &base, double scale = 1.0)
{
    QFont font = base;
    font.setBold(true);
    font.setPointSizeF(base.pointSizeF() * scale);
    return font;
}

} // namespace

// The flat list the view shows: each section's header, its rows and its footer.
class TableModel : public QAbstractListModel
{
public:
    explicit TableModel(TableView *table) : table_(table) {}

    int rowCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : table_->flatCount();
    }
    QVariant data(const QModelIndex &, int) const override { return {}; }
    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        return table_->entryAt(index.row()).kind == TableView::Kind::Row
                   ? Qt::ItemIsEnabled | Qt::ItemIsSelectable
                   : Qt::ItemIsEnabled;
    }
    void reset(const std::function<void()> &change)
    {
        beginResetModel();
        change();
        // The view may ask where rows are as soon as the reset ends.
        table_->layoutEntries();
        endResetModel();
    }

private:
    TableView *table_;
};

// Draws rows as the data source describes them; clicks are handled by the table.
class TableItemDelegate : public QStyledItemDelegate
{
public:
    TableItemDelegate(TableView *table, QObject *parent) : QStyledItemDelegate(parent), table_(table) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        table_->paintEntry(painter, option.rect, index.row(), option.state & QStyle::State_Selected);
    }
    QSize sizeHint(const QStyleOptionViewItem &, const QModelIndex &index) const override
    {
        return {100, table_->heightOf(index.row())};
    }

private:
    TableView *table_;
};

// The list view over the flat model that lays out only what it shows. The
// table keeps every entry's top in one array, made from the section counts
// and the row heights without asking for a cell, so a list of fifteen
// thousand rows opens and narrows at once; cells are asked for only when
// their rows are painted.
class TableListView : public QListView
{
public:
    TableListView(TableView *table, QWidget *parent) : QListView(parent), table_(table) {}

    QRect visualRect(const QModelIndex &index) const override
    {
        if (!index.isValid() || size_t(index.row()) + 1 >= table_->entryTops_.size())
            return {};
        const int top = table_->entryTops_[size_t(index.row())];
        const int bottom = table_->entryTops_[size_t(index.row()) + 1];
        return {0, top - verticalOffset(), viewport()->width(), bottom - top};
    }

    QModelIndex indexAt(const QPoint &point) const override
    {
        if (point.x() < 0 || point.x() >= viewport()->width())
            return {};
        const int flat = table_->entryAtOffset(point.y() + verticalOffset());
        return flat >= 0 ? model()->index(flat, 0) : QModelIndex();
    }

    void scrollTo(const QModelIndex &index, ScrollHint hint) override
    {
        const QRect rect = visualRect(index);
        if (rect.isNull())
            return;
        QScrollBar *bar = verticalScrollBar();
        const int height = viewport()->height();
        const int top = rect.top() + bar->value();
        const int bottom = top + rect.height();
        int value = bar->value();
        switch (hint) {
        case PositionAtTop:
            value = top;
            break;
        case PositionAtBottom:
            value = bottom - height;
            break;
        case PositionAtCenter:
            value = top - (height - rect.height()) / 2;
            break;
        case EnsureVisible:
            if (top < value)
                value = top;
            else if (bottom > value + height)
                value = std::min(top, bottom - height);
            break;
        }
        bar->setValue(value);
    }

    void doItemsLayout() override
    {
        table_->layoutEntries();
        // The base of the list view's own layout: geometry and repaint only.
        QAbstractItemView::doItemsLayout();
    }

protected:
    int horizontalOffset() const override { return 0; }
    int verticalOffset() const override { return verticalScrollBar()->value(); }

    void updateGeometries() override
    {
        const int height = viewport()->height();
        QScrollBar *bar = verticalScrollBar();
        bar->setSingleStep(std::max(1, table_->rowHeight() / 2));
        bar->setPageStep(std::max(1, height));
        bar->setRange(0, std::max(0, table_->contentHeight() - height));
        horizontalScrollBar()->setRange(0, 0);
        QAbstractItemView::updateGeometries();
    }

    void scrollContentsBy(int dx, int dy) override
    {
        scrollDirtyRegion(dx, dy);
        viewport()->scroll(dx, dy);
    }

    void paintEvent(QPaintEvent *event) override
    {
        QPainter painter(viewport());
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        const QRect area = event->rect();
        const int count = table_->flatCount();
        const QItemSelectionModel *selection = selectionModel();
        for (int flat = std::max(0, table_->entryAtOffset(area.top() + verticalOffset())); flat < count;
             ++flat) {
            const QModelIndex index = model()->index(flat, 0);
            option.rect = visualRect(index);
            if (option.rect.top() > area.bottom())
                break;
            option.state.setFlag(QStyle::State_Selected, selection && selection->isSelected(index));
            itemDelegate()->paint(&painter, option, index);
        }
    }

    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers) override
    {
        const int count = table_->flatCount();
        const int current = currentIndex().isValid() ? currentIndex().row() : -1;
        int target = -1;
        switch (action) {
        case MoveUp:
        case MovePrevious:
            target = current < 0 ? rowFrom(0, 1) : rowFrom(current - 1, -1);
            break;
        case MoveDown:
        case MoveNext:
            target = rowFrom(current + 1, 1);
            break;
        case MoveHome:
            target = rowFrom(0, 1);
            break;
        case MoveEnd:
            target = rowFrom(count - 1, -1);
            break;
        case MovePageUp:
        case MovePageDown: {
            const int step = action == MovePageUp ? -1 : 1;
            const int y =
                (current < 0 ? 0 : table_->entryTops_[size_t(current)]) + step * viewport()->height();
            const int flat =
                table_->entryAtOffset(std::clamp(y, 0, std::max(0, table_->contentHeight() - 1)));
            target = rowFrom(flat < 0 ? (step < 0 ? 0 : count - 1) : flat, step);
            if (target < 0)
                target = rowFrom(flat < 0 ? 0 : flat, -step);
            break;
        }
        default:
            break;
        }
        return target >= 0 ? model()->index(target, 0) : currentIndex();
    }

    void setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command) override
    {
        const QRect area = rect.normalized();
        const int first = table_->entryAtOffset(std::max(0, area.top() + verticalOffset()));
        int last = table_->entryAtOffset(area.bottom() + verticalOffset());
        if (first < 0)
            return;
        if (last < 0)
            last = table_->flatCount() - 1;
        selectionModel()->select(QItemSelection(model()->index(first, 0), model()->index(last, 0)), command);
    }

private:
    // The first row (not a header or footer) from flat on, going by step.
    int rowFrom(int flat, int step) const
    {
        for (; flat >= 0 && flat < table_->flatCount(); flat += step)
            if (table_->entryAt(flat).kind == TableView::Kind::Row)
                return flat;
        return -1;
    }

    TableView *table_;
};

// The column of section index titles at the table's right edge.
class SectionIndexBar : public QWidget
{
public:
    explicit SectionIndexBar(TableView *table) : QWidget(table), table_(table)
    {
        setFixedWidth(18);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        const QStringList &titles = table_->indexTitles_;
        if (titles.isEmpty())
            return;
        QPainter painter(this);
        QFont font = boldFont(this->font(), 0.75);
        painter.setFont(font);
        painter.setPen(SelectionBlue);
        const double step = double(height()) / titles.size();
        for (int i = 0; i < titles.size(); ++i)
            painter.drawText(QRectF(0, i * step, width(), step), Qt::AlignCenter, titles[i]);
    }
    void mousePressEvent(QMouseEvent *event) override { jump(event->position().y()); }
    void mouseMoveEvent(QMouseEvent *event) override { jump(event->position().y()); }

private:
    void jump(double y)
    {
        const int n = static_cast<int>(table_->indexTitles_.size());
        if (n == 0 || height() <= 0)
            return;
        table_->tapSectionIndexTitle(std::clamp(int(y * n / height()), 0, n - 1));
    }

    TableView *table_;
};

TableView::TableView(Style style, QWidget *parent) : QWidget(parent), style_(style)
{
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    list_ = new TableListView(this, this);
    model_ = std::make_unique<TableModel>(this);
    list_->setModel(model_.get());
    list_->setItemDelegate(new TableItemDelegate(this, list_));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setFrameShape(QFrame::NoFrame);
    list_->setResizeMode(QListView::Adjust);
    list_->viewport()->installEventFilter(this);
    list_->installEventFilter(this);
    // A slim bar that leaves the rows their width, as on a handheld.
    list_->verticalScrollBar()->setStyleSheet(
        QStringLiteral("QScrollBar:vertical { width: 7px; background: transparent; margin: 2px 1px; }"
                       "QScrollBar::handle:vertical { background: rgba(0,0,0,90); border-radius: 2px; "
                       "min-height: 30px; }"
                       "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
                       "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }"));
    connect(list_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { placeAccessoryViews(); });
    QPalette palette = list_->palette();
    palette.setColor(QPalette::Base, style_ == Style::Grouped ? GroupedGround : QColor(Qt::white));
    list_->setPalette(palette);
    indexBar_ = new SectionIndexBar(this);
    indexBar_->hide();
    row->addWidget(list_, 1);
    row->addWidget(indexBar_);
    layout_->addLayout(row, 1);
}

TableView::~TableView()
{
    // The view must stop asking the model before the model goes.
    list_->setModel(nullptr);
}

void TableView::setDataSource(TableViewDataSource *dataSource)
{
    dataSource_ = dataSource;
    reloadData();
}

void TableView::setDelegate(TableViewDelegate *delegate)
{
    delegate_ = delegate;
    list_->doItemsLayout();
    placeAccessoryViews();
}

void TableView::reloadRow(const IndexPath &path)
{
    const int flat = flatIndex(path);
    if (flat >= 0)
        list_->update(model_->index(flat));
}

void TableView::reloadData()
{
    const int scroll = list_->verticalScrollBar()->value();
    model_->reset([this] {
        rowCounts_.clear();
        sectionStarts_.clear();
        hasHeader_.clear();
        hasFooter_.clear();
        indexTitles_.clear();
        pendingDelete_.reset();
        if (!dataSource_)
            return;
        const int sections = std::max(0, dataSource_->numberOfSections());
        int start = 0;
        for (int s = 0; s < sections; ++s) {
            const int rows = std::max(0, dataSource_->numberOfRows(s));
            // Grouped tables always leave a gap above each block.
            const bool header = style_ == Style::Grouped || !dataSource_->titleForHeader(s).isEmpty();
            // ...and a grouped table leaves one below its last block too.
            const bool footer =
                !dataSource_->titleForFooter(s).isEmpty() || (style_ == Style::Grouped && s == sections - 1);
            rowCounts_.push_back(rows);
            sectionStarts_.push_back(start);
            hasHeader_.push_back(header);
            hasFooter_.push_back(footer);
            start += rows + (header ? 1 : 0) + (footer ? 1 : 0);
        }
        indexTitles_ = dataSource_->sectionIndexTitles();
    });
    indexBar_->setVisible(!indexTitles_.isEmpty());
    indexBar_->update();
    list_->doItemsLayout();
    list_->verticalScrollBar()->setValue(scroll);
    placeAccessoryViews();
}

int TableView::numberOfRows(int section) const
{
    return section >= 0 && section < numberOfSections() ? rowCounts_[section] : 0;
}

void TableView::setRowHeight(int height)
{
    rowHeight_ = height;
    list_->doItemsLayout();
    placeAccessoryViews();
}

void TableView::setTableHeaderView(QWidget *header)
{
    if (header_)
        header_->deleteLater();
    header_ = header;
    if (header)
        layout_->insertWidget(0, header);
}

void TableView::setEditing(bool editing)
{
    editing_ = editing;
    pendingDelete_.reset();
    if (editing && !allowsSelectionDuringEditing_)
        deselectRow();
    list_->viewport()->update();
    placeAccessoryViews();
}

int TableView::flatCount() const
{
    if (rowCounts_.empty())
        return 0;
    const int last = numberOfSections() - 1;
    return sectionStarts_[last] + rowCounts_[last] + (hasHeader_[last] ? 1 : 0) + (hasFooter_[last] ? 1 : 0);
}

void TableView::layoutEntries()
{
    entryTops_.assign(1, 0);
    entryTops_.reserve(size_t(flatCount()) + 1);
    int top = 0;
    auto add = [&](int height) {
        top += height;
        entryTops_.push_back(top);
    };
    for (int s = 0; s < numberOfSections(); ++s) {
        if (hasHeader_[size_t(s)])
            add(heightOf(sectionStarts_[size_t(s)]));
        const int rows = rowCounts_[size_t(s)];
        for (int r = 0; r < rows; ++r) {
            const int height = delegate_ ? delegate_->heightForRow({s, r}) : 0;
            add(height > 0 ? height : rowHeight_);
        }
        if (hasFooter_[size_t(s)])
            add(PlainHeaderHeight + 8);
    }
}

int TableView::contentHeight() const
{
    return entryTops_.empty() ? 0 : entryTops_.back();
}

int TableView::entryAtOffset(int y) const
{
    if (y < 0 || y >= contentHeight())
        return -1;
    const auto after = std::upper_bound(entryTops_.begin(), entryTops_.end(), y);
    return static_cast<int>(after - entryTops_.begin()) - 1;
}

TableView::Entry TableView::entryAt(int flat) const
{
    auto it = std::upper_bound(sectionStarts_.begin(), sectionStarts_.end(), flat);
    const int section = static_cast<int>(it - sectionStarts_.begin()) - 1;
    int offset = flat - sectionStarts_[section];
    if (hasHeader_[section]) {
        if (offset == 0)
            return {Kind::Header, section, -1};
        --offset;
    }
    if (offset < rowCounts_[section])
        return {Kind::Row, section, offset};
    return {Kind::Footer, section, -1};
}

int TableView::flatIndex(const IndexPath &path) const
{
    if (path.section < 0 || path.section >= numberOfSections() || path.row < 0 ||
        path.row >= rowCounts_[path.section])
        return -1;
    return sectionStarts_[path.section] + (hasHeader_[path.section] ? 1 : 0) + path.row;
}

TableCell TableView::cellAt(const IndexPath &path) const
{
    return dataSource_ ? dataSource_->cellForRow(path) : TableCell{};
}

bool TableView::isDeletable(const IndexPath &path) const
{
    return editing_ && dataSource_ && dataSource_->canEditRow(path);
}

bool TableView::rowSelectable(const IndexPath &path) const
{
    if (editing_ ? !allowsSelectionDuringEditing_ : !allowsSelection_)
        return false;
    return cellAt(path).selectable;
}

int TableView::heightOf(int flat) const
{
    const Entry entry = entryAt(flat);
    if (entry.kind == Kind::Header) {
        if (style_ == Style::Plain)
            return PlainHeaderHeight;
        return dataSource_->titleForHeader(entry.section).isEmpty() ? GroupedGapHeight : GroupedHeaderHeight;
    }
    if (entry.kind == Kind::Footer)
        return PlainHeaderHeight + 8;
    const int height = delegate_ ? delegate_->heightForRow({entry.section, entry.row}) : 0;
    return height > 0 ? height : rowHeight_;
}

QRect TableView::contentRect(const QRect &rect) const
{
    if (style_ != Style::Grouped)
        return rect;
    // A wide table (a tablet) sets its blocks further in, as the eye expects.
    const int inset = rect.width() >= WideTableWidth ? WideGroupedInset : GroupedInset;
    return rect.adjusted(inset, 0, -inset, 0);
}

namespace {

// Where the parts of a row go, right to left: accessory, push button, text.
struct RowLayout {
    QRect minus;
    QRect status;
    QRect deleteConfirm;
    QRect accessory;
    QRect accessoryView;
    QRect button;
    QRect text;
};

QFont textFontOf(const TableCell &cell, const QFont &base)
{
    return cell.font.value_or(boldFont(base, 1.1));
}

RowLayout layoutRow(const QRect &content, const TableCell &cell, bool deletable, bool confirming,
                    const QFontMetrics &buttonMetrics, const QFontMetrics &textMetrics)
{
    RowLayout layout;
    QRect rest = content.adjusted(Padding, 0, -Padding / 2, 0);
    if (deletable) {
        layout.minus = QRect(rest.left(), rest.center().y() - MinusSize / 2, MinusSize, MinusSize);
        rest.setLeft(layout.minus.right() + Padding);
    }
    if (confirming) {
        layout.deleteConfirm = QRect(rest.right() - 64, rest.center().y() - 15, 64, 30);
        rest.setRight(layout.deleteConfirm.left() - Padding / 2);
    } else if (!deletable) {
        if (QWidget *view = cell.accessoryView; view && cell.accessoryViewFillsRow) {
            layout.accessoryView = content;
            layout.text = QRect();
            return layout;
        } else if (view) {
            int w = view->sizeHint().width();
            if (view->sizePolicy().horizontalPolicy() & QSizePolicy::ExpandFlag) {
                // The text keeps its natural width, within reason; a text
                // that may wrap gives up more.
                // Within limits the text column is the same on every row,
                // so that sliders on neighbouring rows line up.
                const int natural = textMetrics.horizontalAdvance(cell.text);
                const int share = std::clamp(
                    natural, rest.width() * 3 / 10,
                    std::max(rest.width() * 3 / 10, rest.width() * (cell.textLines > 1 ? 2 : 3) / 5));
                w = std::max(view->minimumSizeHint().width(), rest.width() - share - Padding);
            }
            w = std::min(w, rest.width());
            const int h = std::min(rest.height(), std::max(view->sizeHint().height(), 0));
            layout.accessoryView = QRect(rest.right() - w + 1, rest.center().y() - h / 2, w, h);
            rest.setRight(layout.accessoryView.left() - Padding / 2);
        } else if (cell.accessory != TableCell::Accessory::None) {
            layout.accessory =
                QRect(rest.right() - AccessoryWidth, rest.top(), AccessoryWidth, rest.height());
            rest.setRight(layout.accessory.left() - 2);
        }
    }
    if (!confirming && (!cell.buttonTitle.isEmpty() || !cell.buttonImage.isEmpty()) &&
        (!deletable || cell.buttonWhileEditing)) {
        const int w =
            cell.buttonImage.isEmpty() ? buttonMetrics.horizontalAdvance(cell.buttonTitle) + 20 : 36;
        layout.button = QRect(rest.right() - w, rest.center().y() - 15, w, 30);
        rest.setRight(layout.button.left() - Padding / 2);
    }
    if (!cell.statusText.isEmpty()) {
        layout.status = QRect(rest.right() - 80, rest.top(), 80, rest.height());
        rest.setRight(layout.status.left() - Padding / 2);
    }
    layout.text = rest;
    return layout;
}

// The one-point line that drawLine strokes from (x1, y) to (x2, y) with a
// plain pen (centred on y, square ends), filled instead: the same pixels, but
// the antialiased stroker takes tens of microseconds a row at a scale of one,
// which a long list paints on every scroll step.
void drawRule(QPainter *painter, int x1, int x2, int y, const QColor &color)
{
    painter->fillRect(QRectF(x1 - 0.5, y - 0.5, x2 - x1 + 1.0, 1.0), color);
}

void paintRowGround(QPainter *painter, const QRect &rect, const QRect &content, bool grouped, bool first,
                    bool last, bool selected)
{
    if (grouped) {
        QPainterPath block;
        // Only the block's outer corners are rounded.
        block.addRoundedRect(content.adjusted(0, first ? 0 : -10, 0, last ? -1 : 10), 8, 8);
        painter->setClipRect(content);
        painter->setPen(QColor(0xb8, 0xbe, 0xc6));
        painter->setBrush(selected ? SelectionBlue : QColor(Qt::white));
        painter->drawPath(block);
        painter->setClipping(false);
        if (!last)
            drawRule(painter, content.left(), content.right(), content.bottom(), QColor(0xb8, 0xbe, 0xc6));
    } else {
        if (selected)
            painter->fillRect(rect, SelectionBlue);
        painter->setPen(QColor(0xe0, 0xe0, 0xe0));
        drawRule(painter, rect.left() + Padding, rect.right(), rect.bottom(), painter->pen().color());
    }
}

void paintEditingMarks(QPainter *painter, const RowLayout &layout, const QFont &buttonFont)
{
    if (!layout.minus.isNull()) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(0xd9, 0x30, 0x2c));
        painter->drawEllipse(layout.minus);
        painter->fillRect(layout.minus.adjusted(5, MinusSize / 2 - 1, -5, -(MinusSize / 2 - 2)), Qt::white);
    }
    if (!layout.deleteConfirm.isNull()) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(0xd9, 0x30, 0x2c));
        painter->drawRoundedRect(layout.deleteConfirm, 5, 5);
        painter->setPen(Qt::white);
        painter->setFont(buttonFont);
        painter->drawText(layout.deleteConfirm, Qt::AlignCenter, localized("Delete"));
    }
}

void paintAccessory(QPainter *painter, TableCell::Accessory accessory, const QRect &where, bool selected)
{
    if (where.isNull())
        return;
    const QPoint c = where.center();
    switch (accessory) {
    case TableCell::Accessory::None:
        break;
    case TableCell::Accessory::DisclosureIndicator:
        painter->setPen(QPen(selected ? QColor(Qt::white) : QColor(0x8e, 0x8e, 0x93), 2));
        painter->drawPolyline(QPolygon({c + QPoint(-3, -6), c + QPoint(3, 0), c + QPoint(-3, 6)}));
        break;
    case TableCell::Accessory::DetailDisclosureButton:
        painter->setPen(Qt::NoPen);
        painter->setBrush(SelectionBlue);
        painter->drawEllipse(c, 10, 10);
        painter->setPen(QPen(Qt::white, 2));
        painter->drawPolyline(QPolygon({c + QPoint(-2, -5), c + QPoint(3, 0), c + QPoint(-2, 5)}));
        break;
    case TableCell::Accessory::Checkmark:
        painter->setPen(QPen(selected ? QColor(Qt::white) : SelectionBlue, 2.5));
        painter->drawPolyline(QPolygon({c + QPoint(-6, 0), c + QPoint(-2, 5), c + QPoint(7, -6)}));
        break;
    }
}

// The in-row button, the status text and the progress bar.
void paintRowExtras(QPainter *painter, const TableCell &cell, const RowLayout &layout, const QFont &baseFont,
                    const QFont &buttonFont, bool selected)
{
    if (!layout.button.isNull()) {
        painter->setPen(QColor(0x99, 0x99, 0x99));
        painter->setBrush(QColor(0xf4, 0xf4, 0xf4));
        painter->drawRoundedRect(layout.button, 6, 6);
        const QColor ink = cell.buttonEnabled ? QColor(Qt::black) : QColor(0xaa, 0xaa, 0xaa);
        if (!cell.buttonImage.isEmpty()) {
            const QSize size(22, 22);
            const QPixmap image =
                Icons::pixmap(cell.buttonImage, size, ink, painter->device()->devicePixelRatioF());
            painter->drawPixmap(
                QRect(layout.button.center() - QPoint(size.width() / 2 - 1, size.height() / 2 - 1), size),
                image);
        } else {
            painter->setPen(ink);
            painter->setFont(buttonFont);
            painter->drawText(layout.button, Qt::AlignCenter, cell.buttonTitle);
        }
    }
    if (!layout.status.isNull()) {
        painter->setFont(baseFont);
        painter->setPen(selected ? QColor(Qt::white) : cell.detailColor);
        painter->drawText(layout.status, Qt::AlignRight | Qt::AlignVCenter | Qt::TextWordWrap,
                          cell.statusText);
    }
    if (cell.progress) {
        const QRect track(layout.text.left(), layout.text.bottom() - 6, layout.text.width(), 4);
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(0xd0, 0xd4, 0xda));
        painter->drawRoundedRect(track, 2, 2);
        painter->setBrush(selected ? QColor(Qt::white) : SelectionBlue);
        const double done = std::clamp(*cell.progress, 0.0, 1.0);
        painter->drawRoundedRect(QRectF(track.left(), track.top(), track.width() * done, track.height()), 2,
                                 2);
    }
}

void paintRowText(QPainter *painter, const TableCell &cell, QRect textRect, const QFont &textFont,
                  const QFont &baseFont, bool selected)
{
    QFont detailFont = cell.detailFont.value_or(baseFont);
    const QColor textColor = selected ? QColor(Qt::white) : cell.textColor;
    const QColor detailColor = selected ? QColor(Qt::white) : cell.detailColor;
    const int textFlags = Qt::AlignLeft | (cell.textLines > 1 ? Qt::TextWordWrap : 0);
    const QFontMetrics textMetrics(textFont);
    auto fitted = [&](const QString &text, int width) {
        return cell.textLines > 1 ? text : textMetrics.elidedText(text, Qt::ElideRight, width);
    };
    switch (cell.style) {
    case TableCell::Style::Default:
        painter->setFont(textFont);
        painter->setPen(textColor);
        if (cell.textLines > 1) {
            // A long word (a path) breaks where it must rather than running out of the row.
            QTextOption option(Qt::AlignLeft | Qt::AlignVCenter);
            option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            painter->drawText(QRectF(textRect), cell.text, option);
        } else {
            painter->drawText(textRect, textFlags | Qt::AlignVCenter, fitted(cell.text, textRect.width()));
        }
        break;
    case TableCell::Style::Subtitle: {
        const QFontMetrics detailMetrics(detailFont);
        const int lines = std::max(1, cell.textLines);
        const int textHeight = std::min(textMetrics.height() * lines,
                                        textMetrics.boundingRect(textRect, textFlags, cell.text).height());
        const int total = textHeight + detailMetrics.height();
        const int top = textRect.top() + std::max(0, (textRect.height() - total) / 2);
        painter->setFont(textFont);
        painter->setPen(textColor);
        painter->drawText(QRect(textRect.left(), top, textRect.width(), textHeight), textFlags,
                          fitted(cell.text, textRect.width()));
        painter->setFont(detailFont);
        painter->setPen(detailColor);
        painter->drawText(QRect(textRect.left(), top + textHeight, textRect.width(), detailMetrics.height()),
                          Qt::AlignLeft,
                          detailMetrics.elidedText(cell.detailText, Qt::ElideRight, textRect.width()));
        break;
    }
    case TableCell::Style::Value1: {
        painter->setFont(detailFont);
        painter->setPen(detailColor);
        if (cell.detailLines > 1) {
            // A long value wraps in its own column; the label keeps the rest.
            const int column = std::min(cell.detailWidth, textRect.width() * 2 / 3);
            const QRect detailRect(textRect.right() - column + 1, textRect.top() + 5, column,
                                   textRect.height() - 10);
            painter->drawText(detailRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
                              cell.detailText);
            textRect.setRight(detailRect.left() - Padding);
            painter->setFont(textFont);
            painter->setPen(textColor);
            painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                              fitted(cell.text, textRect.width()));
            break;
        }
        const int detailWidth =
            std::min(textRect.width() / 2, QFontMetrics(detailFont).horizontalAdvance(cell.detailText));
        painter->drawText(textRect, Qt::AlignRight | Qt::AlignVCenter, cell.detailText);
        textRect.setRight(textRect.right() - detailWidth - Padding);
        painter->setFont(textFont);
        painter->setPen(textColor);
        painter->drawText(textRect, textFlags | Qt::AlignVCenter, fitted(cell.text, textRect.width()));
        break;
    }
    }
}

} // namespace

void TableView::paintEntry(QPainter *painter, const QRect &rect, int flat, bool selected) const
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const Entry entry = entryAt(flat);
    const bool grouped = style_ == Style::Grouped;
    painter->fillRect(rect, grouped ? GroupedGround : QColor(Qt::white));

    if (entry.kind != Kind::Row) {
        const QString title = entry.kind == Kind::Header ? dataSource_->titleForHeader(entry.section)
                                                         : dataSource_->titleForFooter(entry.section);
        if (!grouped && entry.kind == Kind::Header)
            painter->fillRect(rect, QColor(0xa9, 0xb4, 0xc2));
        painter->setPen(grouped ? QColor(0x4c, 0x56, 0x6c) : QColor(Qt::white));
        painter->setFont(boldFont(painter->font(), entry.kind == Kind::Header ? 1.0 : 0.9));
        painter->drawText(contentRect(rect).adjusted(Padding, 0, -Padding, -2),
                          Qt::AlignLeft | Qt::AlignBottom, title);
        painter->restore();
        return;
    }

    const IndexPath path{entry.section, entry.row};
    const TableCell cell = cellAt(path);
    const QRect content = contentRect(rect);
    paintRowGround(painter, rect, content, grouped, entry.row == 0,
                   entry.row == rowCounts_[entry.section] - 1, selected);

    const QFont baseFont = painter->font();
    const QFont buttonFont = boldFont(baseFont, 0.95);
    const bool confirming = pendingDelete_ && *pendingDelete_ == path;
    const QFont textFont = textFontOf(cell, baseFont);
    const RowLayout layout = layoutRow(content, cell, isDeletable(path), confirming, QFontMetrics(buttonFont),
                                       QFontMetrics(textFont));
    paintEditingMarks(painter, layout, buttonFont);
    paintAccessory(painter, cell.accessory, layout.accessory, selected);
    paintRowExtras(painter, cell, layout, baseFont, buttonFont, selected);
    paintRowText(painter, cell, layout.text, textFont, baseFont, selected);
    painter->restore();
}

TableView::Zone TableView::zoneAt(int flat, const QRect &rect, const QPoint &pos) const
{
    const Entry entry = entryAt(flat);
    const IndexPath path{entry.section, entry.row};
    const TableCell cell = cellAt(path);
    const bool confirming = pendingDelete_ && *pendingDelete_ == path;
    const RowLayout layout =
        layoutRow(contentRect(rect), cell, isDeletable(path), confirming,
                  QFontMetrics(boldFont(font(), 0.95)), QFontMetrics(textFontOf(cell, font())));
    if (layout.minus.adjusted(-6, -6, 6, 6).contains(pos))
        return Zone::Minus;
    if (layout.deleteConfirm.contains(pos))
        return Zone::DeleteConfirm;
    if (layout.button.contains(pos))
        return Zone::Button;
    if (cell.accessory == TableCell::Accessory::DetailDisclosureButton && layout.accessory.contains(pos))
        return Zone::Accessory;
    return Zone::Body;
}

void TableView::placeAccessoryViews()
{
    QWidget *viewport = list_->viewport();
    std::vector<QPointer<QWidget>> placed;
    const int count = flatCount();
    if (dataSource_ && count > 0) {
        // Only the rows on screen are asked for their cells.
        const QModelIndex top = list_->indexAt(QPoint(viewport->width() / 2, 0));
        const QModelIndex bottom = list_->indexAt(QPoint(viewport->width() / 2, viewport->height() - 1));
        const int first = top.isValid() ? top.row() : 0;
        const int last = bottom.isValid() ? bottom.row() : count - 1;
        const QFont base = font();
        for (int flat = first; flat <= last; ++flat) {
            const Entry entry = entryAt(flat);
            if (entry.kind != Kind::Row)
                continue;
            const IndexPath path{entry.section, entry.row};
            const TableCell cell = cellAt(path);
            QWidget *view = cell.accessoryView;
            if (!view)
                continue;
            const QRect rect = list_->visualRect(model_->index(flat));
            const bool confirming = pendingDelete_ && *pendingDelete_ == path;
            const RowLayout layout =
                layoutRow(contentRect(rect), cell, isDeletable(path), confirming,
                          QFontMetrics(boldFont(base, 0.95)), QFontMetrics(textFontOf(cell, base)));
            if (layout.accessoryView.isNull())
                continue;
            if (view->parentWidget() != viewport)
                view->setParent(viewport);
            view->setGeometry(layout.accessoryView);
            view->show();
            placed.emplace_back(view);
        }
    }
    for (const QPointer<QWidget> &view : placedViews_) {
        if (view && std::find(placed.begin(), placed.end(), view) == placed.end())
            view->hide();
    }
    placedViews_ = std::move(placed);
}

bool TableView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == list_->viewport() && event->type() == QEvent::Resize) {
        // The list lays its rows out again later; the controls must follow now.
        list_->doItemsLayout();
        placeAccessoryViews();
    }
    if (watched == list_->viewport()) {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
            return true; // selection happens on release, through tapRow's checks
        if (event->type() == QEvent::MouseButtonRelease) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            const QPoint pos = mouse->position().toPoint();
            const QModelIndex index = list_->indexAt(pos);
            if (mouse->button() != Qt::LeftButton || !index.isValid())
                return true;
            const Entry entry = entryAt(index.row());
            if (entry.kind != Kind::Row)
                return true;
            const IndexPath path{entry.section, entry.row};
            switch (zoneAt(index.row(), list_->visualRect(index), pos)) {
            case Zone::Minus:
                pendingDelete_ = (pendingDelete_ && *pendingDelete_ == path) ? std::nullopt
                                                                             : std::optional<IndexPath>(path);
                list_->viewport()->update();
                break;
            case Zone::DeleteConfirm:
                tapDelete(path);
                break;
            case Zone::Button:
                tapButton(path);
                break;
            case Zone::Accessory:
                tapAccessoryButton(path);
                break;
            case Zone::Body:
                if (pendingDelete_) {
                    pendingDelete_.reset();
                    list_->viewport()->update();
                } else {
                    tapRow(path);
                }
                break;
            }
            return true;
        }
    } else if (watched == list_ && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const auto selected = indexPathForSelectedRow();
        if (selected && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            tapRow(*selected);
            return true;
        }
        if (selected && key->key() == Qt::Key_Delete && isDeletable(*selected)) {
            tapDelete(*selected);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TableView::selectRow(const IndexPath &path)
{
    const int flat = flatIndex(path);
    if (flat < 0)
        return;
    list_->setCurrentIndex(model_->index(flat));
    list_->scrollTo(model_->index(flat));
}

void TableView::deselectRow()
{
    list_->clearSelection();
}

std::optional<IndexPath> TableView::indexPathForSelectedRow() const
{
    const QModelIndexList selected = list_->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return std::nullopt;
    const Entry entry = entryAt(selected.front().row());
    if (entry.kind != Kind::Row)
        return std::nullopt;
    return IndexPath{entry.section, entry.row};
}

void TableView::scrollToRow(const IndexPath &path)
{
    const int flat = flatIndex(path);
    if (flat >= 0)
        list_->scrollTo(model_->index(flat), QAbstractItemView::PositionAtTop);
}

void TableView::scrollToSection(int section)
{
    if (section < 0 || section >= numberOfSections())
        return;
    list_->scrollTo(model_->index(sectionStarts_[section]), QAbstractItemView::PositionAtTop);
}

void TableView::tapRow(const IndexPath &path)
{
    if (flatIndex(path) < 0 || !rowSelectable(path))
        return;
    if (delegate_ && !delegate_->willSelectRow(path))
        return;
    selectRow(path);
    if (delegate_)
        delegate_->didSelectRow(path);
}

void TableView::tapAccessoryButton(const IndexPath &path)
{
    if (delegate_ && flatIndex(path) >= 0)
        delegate_->accessoryButtonTapped(path);
}

void TableView::tapButton(const IndexPath &path)
{
    if (flatIndex(path) < 0 || !delegate_)
        return;
    const TableCell cell = cellAt(path);
    if ((!cell.buttonTitle.isEmpty() || !cell.buttonImage.isEmpty()) && cell.buttonEnabled)
        delegate_->rowButtonTapped(path);
}

void TableView::tapDelete(const IndexPath &path)
{
    pendingDelete_.reset();
    if (flatIndex(path) < 0 || !isDeletable(path))
        return;
    dataSource_->commitDeleteRow(path);
    list_->viewport()->update();
}

void TableView::tapSectionIndexTitle(int index)
{
    if (!dataSource_ || index < 0 || index >= indexTitles_.size())
        return;
    scrollToSection(dataSource_->sectionForSectionIndexTitle(indexTitles_[index], index));
}
