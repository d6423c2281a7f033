#include "ui/import/IEImportChapterViewController.h"

#include <cstdlib>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>

#include "foundation/AlertFunctions.h"
#include "foundation/Device.h"
#include "foundation/Localized.h"
#include "foundation/NotificationCenter.h"
#include "foundation/OperationQueue.h"
#include "foundation/WaitOverlay.h"
#include "ie/IEDBImporter.h"
#include "ie/IEDBImporterOperation.h"
#include "ui/import/IEImportChapterViewControllerDelegate.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/NavigationItem.h"
#include "ui/kit/TableView.h"

namespace {

// The bar would rather widen the window than wrap its title, so the title
// is broken and cut to the room the two buttons leave.
constexpr int PhoneTitleRoom = 140;
constexpr int PadTitleRoom = 480;

QString twoLineTitle(const QString &title, const QFontMetrics &metrics, int room)
{
    if (metrics.horizontalAdvance(title) <= room)
        return title;
    // Break at the space nearest the middle.
    int cut = -1;
    for (int i = 0; i < title.size(); ++i)
        if (title[i] == u' ' &&
            (cut < 0 || std::abs(i - title.size() / 2) < std::abs(cut - title.size() / 2)))
            cut = i;
    if (cut < 0)
        return metrics.elidedText(title, Qt::ElideRight, room);
    return metrics.elidedText(title.left(cut), Qt::ElideRight, room) + u'\n' +
           metrics.elidedText(title.mid(cut + 1), Qt::ElideRight, room);
}

QString numberText(const Decimal &number)
{
    return number.isNaN() ? QString() : number.toString();
}

} // namespace

IEImportChapterViewController::IEImportChapterViewController(QString unzippedPath, QString bookTitle,
                                                             QString source, Decimal parsedVolumeNumber,
                                                             Decimal parsedChapterNumber,
                                                             IEImportChapter chapter, QWidget *parent)
    : IEEditViewController(parent), unzippedPath_(std::move(unzippedPath)), bookTitle_(std::move(bookTitle)),
      source_(std::move(source)), parsedVolumeNumber_(parsedVolumeNumber),
      parsedChapterNumber_(parsedChapterNumber), chapter_(std::move(chapter))
{
    setTitle(withArguments(localized("Import %@"), {bookTitle_}));
    setHidesBottomBarWhenPushed(true);
    // Long titles are common in scanned releases: two small lines rather
    // than one cut short.
    titleLabel_ = new QLabel(this);
    titleLabel_->setObjectName(QStringLiteral("NavigationTitle"));
    titleLabel_->setAlignment(Qt::AlignCenter);
    QFont font = titleLabel_->font();
    font.setPixelSize(14);
    font.setBold(true);
    titleLabel_->setFont(font);
    titleLabel_->setText(
        twoLineTitle(title(), QFontMetrics(font), Device::isPad() ? PadTitleRoom : PhoneTitleRoom));
    navigationItem()->setTitleView(titleLabel_);
}

IEImportChapterViewController::~IEImportChapterViewController()
{
    // A chapter still being written reports to nobody.
    if (queue_)
        drain(*queue_, true);
}

void IEImportChapterViewController::viewDidLoad()
{
    IEEditViewController::viewDidLoad();
    saveAction_ = new QAction(localized("Save"), this);
    connect(saveAction_, &QAction::triggered, this, [this] { save(); });
    cancelAction_ = new QAction(localized("Cancel"), this);
    connect(cancelAction_, &QAction::triggered, this, &IEImportChapterViewController::cancel);
    navigationItem()->setRightBarButtonItem(saveAction_);
    navigationItem()->setLeftBarButtonItem(cancelAction_);
    navigationItem()->setHidesBackButton(true);
}

void IEImportChapterViewController::makeFields()
{
    chapterNumberTextField_ = makeTextField(localized("0"), numberText(parsedChapterNumber_), true);
    volumeNumberTextField_ = makeTextField(localized("0"), numberText(parsedVolumeNumber_), true);
}

int IEImportChapterViewController::numberOfRows(int section)
{
    return section == 0 ? 1 : 2;
}

TableCell IEImportChapterViewController::cellForRow(const IndexPath &path)
{
    if (path.section == 0) {
        TableCell cell = labelCell(chapter_.baseName);
        cell.textLines = 2;
        return cell;
    }
    if (path.row == 0)
        return labelCell(path.section == 1 ? localized("Chapter Number")
                                           : localized("Chapter Volume (optional)"));
    return fieldCell(path.section == 1 ? chapterNumberTextField_ : volumeNumberTextField_);
}

bool IEImportChapterViewController::save()
{
    const QString chapterText = trimmedText(chapterNumberTextField_);
    const QString volumeText = trimmedText(volumeNumberTextField_);
    if (chapterText.isEmpty()) {
        AlertWithMessage(localized("Fill in a chapter number"));
        return false;
    }
    const Decimal number = Decimal::fromString(chapterText);
    if (number.isNaN()) {
        AlertWithMessage(localized("Chapter must be a number"));
        return false;
    }
    // A volume left empty or unreadable means the chapter has none.
    const Decimal volume = Decimal::fromString(volumeText);
    chapter_.number = IEDBImporter::adjustedNumberFromChapterNumber(number, volume);
    chapter_.title = IEDBImporter::titleFromChapterNumber(number, volume);

    if (queue_)
        drain(*queue_, false);
    queue_ = std::make_unique<OperationQueue>(1);
    QPointer<IEImportChapterViewController> self(this);
    queue_->addOperation(std::make_shared<IEDBImporterOperation>(
        bookTitle_, source_, chapter_,
        [self](IEDBImporterOperation &operation) {
            if (self)
                self->importDidFail(operation);
        },
        [self](IEDBImporterOperation &) {
            if (self)
                self->importDidFinish();
        }));
    WaitOverlay::instance().show();
    return true;
}

void IEImportChapterViewController::importDidFinish()
{
    // The operation has merged the new records into the shared context.
    WaitOverlay::instance().hide();
    if (delegate_)
        delegate_->chapterDidSave(this);
}

void IEImportChapterViewController::importDidFail(IEDBImporterOperation &operation)
{
    AlertWithTitleAndMessage(localized("Error"),
                             operation.error() ? operation.error()->localizedDescription() : QString());
    WaitOverlay::instance().hide();
    if (delegate_)
        delegate_->chapterSaveFailed(this);
}

void IEImportChapterViewController::cancel()
{
    NotificationCenter::defaultCenter().post(FilesRemoverStartNotification);
    if (NavigationController *nav = navigationController())
        nav->popToRootViewController();
}
