#include "ui/internet/NavBookInfoViewController.h"

#include <algorithm>

#include <QAction>
#include <QFontMetrics>
#include <QVBoxLayout>

#include "files/UrlStringJoins.h"
#include "foundation/Localized.h"
#include "ui/internet/AsyncImageView.h"
#include "ui/kit/NavigationItem.h"
#include "ui/kit/TableView.h"

namespace {

constexpr int ValueColumn = 180;
constexpr int HeightLimit = 1000;
constexpr int SummaryLines = 100;
constexpr int ValueLines = 5;

QFont valueFont(const QFont &base)
{
    QFont font = base;
    font.setBold(true);
    font.setPixelSize(17);
    return font;
}

QFont summaryFont(const QFont &base)
{
    QFont font = base;
    font.setBold(false);
    font.setPixelSize(14);
    return font;
}

bool isSummary(const QString &label)
{
    return label == u"Summary";
}

} // namespace

NavBookInfoViewController::NavBookInfoViewController(const QString &bookTitle, const NavBookInfo &navBookInfo,
                                                     NavBookInfoViewControllerDelegate *delegate,
                                                     QWidget *parent)
    : ViewController(parent), bookTitle_(bookTitle), navBookInfo_(navBookInfo), delegate_(delegate)
{
    setTitle(localized("Manga Info"));
    auto *doneAction = new QAction(localized("Done"), this);
    connect(doneAction, &QAction::triggered, this, &NavBookInfoViewController::done);
    navigationItem()->setRightBarButtonItem(doneAction);
    initItems();
}

NavBookInfoViewController::~NavBookInfoViewController()
{
    if (tableView_) {
        tableView_->setDataSource(nullptr);
        tableView_->setDelegate(nullptr);
    }
}

void NavBookInfoViewController::resolveCoverURL(NavBookInfo &info, const QString &rootURLString)
{
    if (!info.coverUrlString.isEmpty() && !info.coverUrlString.startsWith(u"http"))
        info.coverUrlString = urlStringByAppendingPathComponent(rootURLString, info.coverUrlString);
}

void NavBookInfoViewController::initItems()
{
    items_.clear();
    items_.push_back({localized("Title"), bookTitle_});
    const std::pair<const char *, QString> details[] = {
        {"Author(s)", navBookInfo_.author}, {"Artists(s)", navBookInfo_.artist},
        {"Rank", navBookInfo_.rank},        {"Demographic", navBookInfo_.demographic},
        {"Genre(s)", navBookInfo_.genre},
    };
    for (const auto &[label, value] : details)
        if (!value.isEmpty())
            items_.push_back({localized(label), value});
    if (!navBookInfo_.summary.isEmpty()) {
        QString summary = navBookInfo_.summary;
        summary.replace(QStringLiteral("&#39;"), QStringLiteral("'"));
        summary.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
        items_.push_back({localized("Summary"), summary});
    }
}

void NavBookInfoViewController::viewDidLoad()
{
    // Presented over another screen: nothing of it may show through the
    // table's slim scroll bar.
    setAutoFillBackground(true);
    QPalette ground = palette();
    ground.setColor(QPalette::Window, QColor(0xdf, 0xe3, 0xe8));
    setPalette(ground);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    tableView_ = new TableView(TableView::Style::Grouped, this);
    tableView_->setAllowsSelection(false);
    layout->addWidget(tableView_);
    if (hasCover()) {
        coverCell_ = new QWidget(this);
        coverCell_->hide(); // until the table places it over its row
        coverView_ = new AsyncImageView(coverCell_);
        coverView_->loadImageFromURL(QUrl(navBookInfo_.coverUrlString));
    }
    tableView_->setDataSource(this);
    tableView_->setDelegate(this);
}

void NavBookInfoViewController::resizeEvent(QResizeEvent *event)
{
    ViewController::resizeEvent(event);
    if (coverView_) {
        // A square a little narrower than the screen, 15 points in, 5 down.
        const int side = std::max(0, width() - 50);
        coverView_->setGeometry(15, 5, side, side);
    }
    if (tableView_)
        tableView_->reloadData();
}

void NavBookInfoViewController::done()
{
    if (delegate_)
        delegate_->navBookInfoViewControllerDidSelectDismiss(this);
}

int NavBookInfoViewController::numberOfSections()
{
    return hasCover() ? 2 : 1;
}

int NavBookInfoViewController::numberOfRows(int section)
{
    return hasCover() && section == 0 ? 1 : int(items_.size());
}

const NavBookInfoViewController::Item &NavBookInfoViewController::itemAt(const IndexPath &path) const
{
    return items_[size_t(std::clamp(path.row, 0, int(items_.size()) - 1))];
}

TableCell NavBookInfoViewController::cellForRow(const IndexPath &path)
{
    TableCell cell;
    cell.selectable = false;
    if (hasCover() && path.section == 0) {
        cell.accessoryView = coverCell_;
        cell.accessoryViewFillsRow = true;
        return cell;
    }
    const Item &item = itemAt(path);
    if (isSummary(item.label)) {
        cell.text = item.value;
        cell.font = summaryFont(font());
        cell.textLines = SummaryLines;
        return cell;
    }
    cell.style = TableCell::Style::Value1;
    cell.text = item.label;
    cell.detailText = item.value;
    cell.detailFont = valueFont(font());
    cell.detailColor = QColor(0x38, 0x54, 0x87);
    cell.detailLines = ValueLines;
    cell.detailWidth = ValueColumn;
    return cell;
}

int NavBookInfoViewController::heightForRow(const IndexPath &path)
{
    if (hasCover() && path.section == 0)
        return std::max(0, width() - 35);
    const Item &item = itemAt(path);
    const bool summary = isSummary(item.label);
    const QFontMetrics metrics(summary ? summaryFont(font()) : valueFont(font()));
    const int column = summary ? std::max(0, width() - 50) : ValueColumn;
    int height =
        metrics.boundingRect(QRect(0, 0, column, HeightLimit), Qt::TextWordWrap, item.value).height();
    if (!summary)
        height = std::min(height, metrics.lineSpacing() * ValueLines);
    return std::max(tableView_ ? tableView_->rowHeight() : 44, std::min(height, HeightLimit) + 10);
}
