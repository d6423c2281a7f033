#include "ui/import/IEDocumentsViewController.h"

#include <QAction>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "files/MyDirectories.h"
#include "foundation/AlertFunctions.h"
#include "foundation/Localized.h"
#include "foundation/NotificationCenter.h"
#include "foundation/OperationQueue.h"
#include "foundation/UrlOpener.h"
#include "foundation/WaitOverlay.h"
#include "ie/IEFileNameParser.h"
#include "ie/IEImporterOperation.h"
#include "ie/zip/IEFilesRemoverOperation.h"
#include "store/IsDownloading.h"
#include "ui/import/IEEditViewController.h"
#include "ui/import/IEHelpViewController.h"
#include "ui/import/IEImportBookViewController.h"
#include "ui/kit/NavigationBar.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/NavigationItem.h"
#include "ui/kit/TabBarController.h"
#include "ui/kit/TableView.h"

namespace {

constexpr int RowHeight = 52;

bool isZip(const QString &path)
{
    // Exactly "zip": the unpacking names its folder after what precedes it.
    return QFileInfo(path).suffix() == u"zip";
}

QList<QUrl> localFiles(const QMimeData *mime)
{
    QList<QUrl> files;
    if (mime && mime->hasUrls()) {
        for (const QUrl &url : mime->urls())
            if (url.isLocalFile())
                files << url;
    }
    return files;
}

} // namespace

IEDocumentsViewController::IEDocumentsViewController(ScreenServices services, QWidget *parent)
    : ViewController(parent), services_(std::move(services))
{
    setTitle(localized("Import"));
    // Imports end on the forms' screens; the clean-up is this screen's
    // whether or not it is on screen then.
    NotificationCenter::defaultCenter().addObserver(this, IEEditViewController::FilesRemoverStartNotification,
                                                    [this] { filesRemoverStart(); });
}

IEDocumentsViewController::~IEDocumentsViewController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
    if (dropWindow_)
        dropWindow_->removeEventFilter(this);
    // Nothing may report to a screen that is gone; the unpacked files are
    // emptied at the next import's start.
    if (importQueue_)
        IEEditViewController::drain(*importQueue_, true);
    if (removerQueue_)
        IEEditViewController::drain(*removerQueue_, true);
    if (tableView_) {
        tableView_->setDataSource(nullptr);
        tableView_->setDelegate(nullptr);
    }
}

QString IEDocumentsViewController::documentsPath() const
{
    return MyDirectories::sharedMyDirectories().documentDirectory();
}

void IEDocumentsViewController::viewDidLoad()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    tableView_ = new TableView(TableView::Style::Plain, this);
    tableView_->setRowHeight(RowHeight);
    tableView_->setAllowsSelectionDuringEditing(false);
    layout->addWidget(tableView_);

    // Where the zips go is not obvious on a desktop: say it, and open it.
    auto *header = new QWidget(this);
    header->setObjectName(QStringLiteral("DocumentsHeader"));
    header->setStyleSheet(QStringLiteral("#DocumentsHeader { background: #eef1f5; border-bottom: 1px solid "
                                         "#c8ced6; } QLabel { color: #4a5562; }"));
    header->setAttribute(Qt::WA_StyledBackground);
    auto *row = new QHBoxLayout(header);
    row->setContentsMargins(10, 6, 8, 6);
    folderLabel_ = new QLabel(header);
    folderLabel_->setWordWrap(true);
    QFont small = folderLabel_->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    folderLabel_->setFont(small);
    row->addWidget(folderLabel_, 1);
    openFolderButton_ = new QPushButton(localized("Open Folder"), header);
    connect(openFolderButton_, &QPushButton::clicked, this, &IEDocumentsViewController::openFolder);
    row->addWidget(openFolderButton_);
    tableView_->setTableHeaderView(header);

    helpAction_ = new QAction(localized("?"), this);
    connect(helpAction_, &QAction::triggered, this, &IEDocumentsViewController::showHelp);
    navigationItem()->setLeftBarButtonItem(helpAction_);
    navigationItem()->setRightBarButtonItem(editButtonItem());

    tableView_->setDataSource(this);
    tableView_->setDelegate(this);
}

void IEDocumentsViewController::viewWillAppear()
{
    reloadFiles();
}

void IEDocumentsViewController::reloadFiles()
{
    const QString path = documentsPath();
    OptionalError error;
    if (!filesFetcher_.fetch(path, &error))
        AlertWithMessage(withArguments(localized("Trouble reading %@: %@"),
                                       {path, error ? error->localizedDescription() : QString()}));
    if (folderLabel_)
        folderLabel_->setText(withArguments(localized("Zip files in %@, or dropped here"), {path}));
    if (tableView_)
        tableView_->reloadData();
}

void IEDocumentsViewController::setEditing(bool editing)
{
    ViewController::setEditing(editing);
    if (tableView_)
        tableView_->setEditing(editing);
}

int IEDocumentsViewController::numberOfRows(int)
{
    return int(filesFetcher_.files().size());
}

TableCell IEDocumentsViewController::cellForRow(const IndexPath &path)
{
    TableCell cell;
    if (path.row < 0 || path.row >= int(filesFetcher_.files().size()))
        return cell;
    cell.text = QFileInfo(filesFetcher_.files()[path.row]).fileName();
    QFont font = tableView_ ? tableView_->font() : QFont();
    font.setPixelSize(15);
    font.setBold(true);
    cell.font = font;
    cell.textLines = 2;
    cell.accessory = TableCell::Accessory::DisclosureIndicator;
    return cell;
}

bool IEDocumentsViewController::willSelectRow(const IndexPath &path)
{
    if (isEditing() || path.row < 0 || path.row >= int(filesFetcher_.files().size()))
        return false;
    const QString file = filesFetcher_.files()[path.row];
    if (!isZip(file)) {
        AlertWithMessage(withArguments(localized("%@. Must be a zip file ending in .zip"), {file}));
        return false;
    }
    if (IsDownloading()) {
        AlertWithMessage(localized("Not while downloading"));
        return false;
    }
    return true;
}

void IEDocumentsViewController::didSelectRow(const IndexPath &path)
{
    selectedIndexPath_ = path;
    startImport(filesFetcher_.files()[path.row]);
}

void IEDocumentsViewController::startImport(const QString &zipFileName)
{
    if (importQueue_)
        IEEditViewController::drain(*importQueue_, false);
    importQueue_ = std::make_unique<OperationQueue>(1);
    const QString temporary = MyDirectories::sharedMyDirectories().temporaryDirectory();
    QDir().mkpath(temporary);
    QPointer<IEDocumentsViewController> self(this);
    importQueue_->addOperation(std::make_shared<IEImporterOperation>(
        zipFileName, temporary,
        [self](IEImporterOperation &operation) {
            if (self)
                self->unzipDidFail(operation);
        },
        [self](IEImporterOperation &operation) {
            if (self)
                self->unzipDidFinish(operation);
        }));
    WaitOverlay::instance().show();
}

void IEDocumentsViewController::unzipDidFinish(IEImporterOperation &operation)
{
    // A zip without chapters ends here; its unpacked files go at the next
    // clean-up.
    if (!operation.chapters().isEmpty()) {
        IEFileNameParser parser;
        parser.parseString(operation.chapters().first().baseName);
        auto book = std::make_unique<IEImportBookViewController>(
            operation.unzippedPath(), parser.bookTitle(), parser.source(), operation.chapters(), services_);
        if (NavigationController *nav = navigationController())
            nav->pushViewController(std::move(book));
    } else if (tableView_) {
        tableView_->deselectRow();
    }
    WaitOverlay::instance().hide();
}

void IEDocumentsViewController::unzipDidFail(IEImporterOperation &operation)
{
    AlertWithTitleAndMessage(localized("Failed"),
                             operation.error() ? operation.error()->localizedDescription() : QString());
    if (tableView_)
        tableView_->deselectRow();
    selectedIndexPath_.reset();
    WaitOverlay::instance().hide();
    NotificationCenter::defaultCenter().post(IEEditViewController::FilesRemoverStartNotification);
}

void IEDocumentsViewController::filesRemoverStart()
{
    if (removerQueue_)
        IEEditViewController::drain(*removerQueue_, false);
    removerQueue_ = std::make_unique<OperationQueue>(1);
    QPointer<IEDocumentsViewController> self(this);
    removerQueue_->addOperation(std::make_shared<IEFilesRemoverOperation>(
        MyDirectories::sharedMyDirectories().temporaryDirectory(), [self] {
            if (self)
                WaitOverlay::instance().hide();
        }));
    WaitOverlay::instance().show();
    WaitOverlay::instance().setLabelText(localized("Cleaning up..."));
}

void IEDocumentsViewController::commitDeleteRow(const IndexPath &path)
{
    if (path.row < 0 || path.row >= int(filesFetcher_.files().size()))
        return;
    const QString file = filesFetcher_.files()[path.row];
    if (!QFile::remove(file)) {
        AlertWithMessage(withArguments(localized("Cannot delete %@"), {file}));
        return;
    }
    filesFetcher_.removeFileAt(path.row);
    tableView_->reloadData();
}

void IEDocumentsViewController::showHelp()
{
    auto stack =
        std::make_unique<NavigationController>(std::make_unique<IEHelpViewController>(documentsPath()));
    stack->navigationBar()->setBarStyle(NavigationBar::Style::Black);
    presentModalViewController(std::move(stack));
}

void IEDocumentsViewController::openFolder()
{
    const QString path = documentsPath();
    QDir().mkpath(path);
    UrlOpener &opener = services_.urlOpener ? *services_.urlOpener : UrlOpener::instance();
    if (!opener.openUrl(QUrl::fromLocalFile(path)))
        AlertWithMessage(withArguments(localized("Cannot open %@"), {path}));
}

void IEDocumentsViewController::acceptDropsOn(QWidget *window)
{
    if (dropWindow_)
        dropWindow_->removeEventFilter(this);
    dropWindow_ = window;
    if (window) {
        window->setAcceptDrops(true);
        window->installEventFilter(this);
    }
}

bool IEDocumentsViewController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == dropWindow_) {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto *drag = static_cast<QDropEvent *>(event);
            if (!localFiles(drag->mimeData()).isEmpty())
                drag->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto *drop = static_cast<QDropEvent *>(event);
            const QList<QUrl> files = localFiles(drop->mimeData());
            if (files.isEmpty())
                return true;
            drop->acceptProposedAction();
            copyDroppedFiles(files);
            return true;
        }
        default:
            break;
        }
    }
    return ViewController::eventFilter(watched, event);
}

bool IEDocumentsViewController::copyDroppedFiles(const QList<QUrl> &urls)
{
    const QString folder = documentsPath();
    QDir().mkpath(folder);
    bool copied = false;
    for (const QUrl &url : urls) {
        const QString source = url.toLocalFile();
        if (!isZip(source) || !QFileInfo(source).isFile()) {
            AlertWithMessage(withArguments(localized("%@. Must be a zip file ending in .zip"), {source}));
            continue;
        }
        const QString target = folder + u'/' + QFileInfo(source).fileName();
        // Another name would not do: the zip's folder is expected under the
        // zip's own name.
        if (QFileInfo::exists(target)) {
            AlertWithMessage(withArguments(localized("%@ is already in the documents folder"),
                                           {QFileInfo(source).fileName()}));
            continue;
        }
        if (!QFile::copy(source, target)) {
            AlertWithMessage(withArguments(localized("Cannot copy %@"), {source}));
            continue;
        }
        copied = true;
    }
    if (!copied)
        return false;
    // The user looks for what was dropped where the files are listed.
    if (TabBarController *tabs = tabBarController()) {
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->viewController(i) == navigationController())
                tabs->setSelectedIndex(i);
    }
    if (isViewLoaded())
        reloadFiles();
    return true;
}
