#include "ui/downloads/DownloadAutoEditViewController.h"

#include <QAction>
#include <QLabel>
#include <QVBoxLayout>

#include "download/DownloadMover.h"
#include "foundation/Localized.h"
#include "store/AppData.h"
#include "store/Download.h"
#include "ui/downloads/DownloadAutoEditViewControllerDelegate.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/NavigationItem.h"
#include "ui/kit/TableView.h"

namespace {

constexpr int FirstRowHeight = 44;
constexpr int RowHeight = 70;
constexpr int ValueLines = 3;

} // namespace

DownloadAutoEditViewController::DownloadAutoEditViewController(std::shared_ptr<Download> download,
                                                               ScreenServices services, QWidget *parent)
    : ViewController(parent), download_(std::move(download)), services_(std::move(services))
{
    setTitle(localized("Save to Library"));
    setHidesBottomBarWhenPushed(false);
}

DownloadAutoEditViewController::~DownloadAutoEditViewController()
{
    if (tableView_) {
        tableView_->setDataSource(nullptr);
        tableView_->setDelegate(nullptr);
    }
}

void DownloadAutoEditViewController::viewDidLoad()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    tableView_ = new TableView(TableView::Style::Grouped, this);
    tableView_->setAllowsSelection(false);
    layout->addWidget(tableView_);

    saveAction_ = new QAction(localized("Save"), this);
    connect(saveAction_, &QAction::triggered, this, [this] { save(); });
    cancelAction_ = new QAction(localized("Cancel"), this);
    connect(cancelAction_, &QAction::triggered, this, &DownloadAutoEditViewController::cancel);
    navigationItem()->setRightBarButtonItem(saveAction_);
    navigationItem()->setLeftBarButtonItem(cancelAction_);
    navigationItem()->setHidesBackButton(true);

    tableView_->setDataSource(this);
    tableView_->setDelegate(this);
}

int DownloadAutoEditViewController::numberOfRows(int section)
{
    return section == 0 ? 2 : section == 1 ? 1 : 0;
}

TableCell DownloadAutoEditViewController::cellForRow(const IndexPath &path)
{
    TableCell cell;
    cell.selectable = false;
    cell.style = TableCell::Style::Subtitle;
    cell.textLines = ValueLines;
    // The value leads and wraps; its name sits under it in grey.
    QFont value = tableView_->font();
    value.setBold(true);
    value.setPointSizeF(value.pointSizeF() * 1.05);
    cell.font = value;
    if (path.section == 0 && path.row == 0) {
        cell.detailText = localized("Source");
        cell.text = download_ ? download_->rootTitle() : QString();
        cell.textLines = 1;
    } else if (path.section == 0) {
        cell.detailText = localized("Manga");
        cell.text = download_ ? download_->bookTitle() : QString();
    } else {
        cell.detailText = localized("Chapter");
        cell.text = download_ ? download_->title() : QString();
    }
    return cell;
}

int DownloadAutoEditViewController::heightForRow(const IndexPath &path)
{
    return path.section == 0 && path.row == 0 ? FirstRowHeight : RowHeight;
}

bool DownloadAutoEditViewController::save()
{
    if (!download_ || !services_.appData)
        return false;
    AppData &appData = *services_.appData;
    const QString uuid = download_->uuid();
    const bool markRead = download_->lastPageRead() >= 0;
    if (!DownloadMover::save(download_, *appData.managedObjectContext(), true, markRead))
        return false;
    // The move's journal entry stays until the store holds the chapter; a
    // failed save has shown its alert and the next start settles the move.
    if (const auto error = appData.save(); !error)
        DownloadMover::didSave({uuid});
    if (delegate_)
        delegate_->downloadAutoEditViewControllerDidSave(this);
    // The record is gone: no screen below may show it any more.
    if (NavigationController *nav = navigationController())
        nav->popToRootViewController();
    return true;
}

void DownloadAutoEditViewController::cancel()
{
    if (NavigationController *nav = navigationController())
        nav->popViewController();
}
