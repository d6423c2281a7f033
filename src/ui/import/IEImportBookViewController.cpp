#include "ui/import/IEImportBookViewController.h"

#include <QAction>
#include <QFileInfo>
#include <QLineEdit>

#include "foundation/AlertFunctions.h"
#include "foundation/Localized.h"
#include "foundation/NotificationCenter.h"
#include "ie/IEFileNameParser.h"
#include "store/AppData.h"
#include "ui/import/IEImportChapterViewController.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/NavigationItem.h"

IEImportBookViewController::IEImportBookViewController(QString unzippedPath, QString parsedBookTitle,
                                                       QString parsedSource, QList<IEImportChapter> chapters,
                                                       ScreenServices services, QWidget *parent)
    : IEEditViewController(parent), unzippedPath_(std::move(unzippedPath)),
      parsedBookTitle_(std::move(parsedBookTitle)), parsedSource_(std::move(parsedSource)),
      chapters_(std::move(chapters)), services_(std::move(services))
{
    setTitle(localized("Import Manga"));
    setHidesBottomBarWhenPushed(true);
}

void IEImportBookViewController::viewDidLoad()
{
    IEEditViewController::viewDidLoad();
    nextAction_ = new QAction(localized("Next"), this);
    QFont bold = nextAction_->font();
    bold.setBold(true);
    nextAction_->setFont(bold);
    connect(nextAction_, &QAction::triggered, this, [this] { next(); });
    cancelAction_ = new QAction(localized("Cancel"), this);
    connect(cancelAction_, &QAction::triggered, this, &IEImportBookViewController::cancel);
    navigationItem()->setRightBarButtonItem(nextAction_);
    navigationItem()->setLeftBarButtonItem(cancelAction_);
    navigationItem()->setHidesBackButton(true);
}

void IEImportBookViewController::makeFields()
{
    // A name that did not parse still gives the user something to correct
    // rather than an empty field to notice.
    bookTextField_ = makeTextField(localized("Manga"),
                                   parsedBookTitle_.isEmpty() ? localized("Title") : parsedBookTitle_, false);
    sourceTextField_ = makeTextField(localized("Source"),
                                     parsedSource_.isEmpty() ? localized("Source") : parsedSource_, false);
}

TableCell IEImportBookViewController::cellForRow(const IndexPath &path)
{
    if (path.row == 0)
        return labelCell(path.section == 0 ? localized("Manga") : localized("Source"));
    return fieldCell(path.section == 0 ? bookTextField_ : sourceTextField_);
}

bool IEImportBookViewController::next()
{
    const QString bookTitle = trimmedText(bookTextField_);
    const QString source = trimmedText(sourceTextField_);
    if (bookTitle.isEmpty()) {
        AlertWithMessage(localized("Fill in the manga title"));
        return false;
    }
    if (source.isEmpty()) {
        AlertWithMessage(localized("Fill in a source"));
        return false;
    }
    if (chapters_.isEmpty()) {
        AlertWithMessage(localized("No chapters?"));
        return false;
    }
    pushChapterScreen(bookTitle, source);
    return true;
}

void IEImportBookViewController::pushChapterScreen(const QString &bookTitle, const QString &source)
{
    const IEImportChapter &chapter = chapters_[qsizetype(currentChapterIndex_)];
    IEFileNameParser parser;
    parser.parseString(chapter.baseName);
    auto screen = std::make_unique<IEImportChapterViewController>(
        unzippedPath_, bookTitle, source, parser.volumeNumber(), parser.chapterNumber(), chapter);
    screen->setDelegate(this);
    if (NavigationController *nav = navigationController())
        nav->pushViewController(std::move(screen));
}

void IEImportBookViewController::chapterDidSave(IEImportChapterViewController *controller)
{
    if (services_.appData)
        services_.appData->save();
    ++currentChapterIndex_;
    NavigationController *nav = navigationController();
    if (currentChapterIndex_ >= unsigned(chapters_.size())) {
        AlertWithTitleAndMessage(localized("Success"),
                                 withArguments(localized("Imported %@.\nLook in the Library."),
                                               {QFileInfo(unzippedPath_).fileName()}));
        if (nav)
            nav->popToRootViewController();
        NotificationCenter::defaultCenter().post(FilesRemoverStartNotification);
        return;
    }
    // The next chapter keeps the title and source the user confirmed.
    const QString bookTitle = controller->bookTitle();
    const QString source = controller->source();
    if (nav)
        nav->popViewController();
    pushChapterScreen(bookTitle, source);
}

void IEImportBookViewController::chapterSaveFailed(IEImportChapterViewController *)
{
    if (NavigationController *nav = navigationController())
        nav->popToRootViewController();
    NotificationCenter::defaultCenter().post(FilesRemoverStartNotification);
}

void IEImportBookViewController::cancel()
{
    if (NavigationController *nav = navigationController())
        nav->popViewController();
    NotificationCenter::defaultCenter().post(FilesRemoverStartNotification);
}
