#pragma once

#include <QList>

#include "ie/zip/IEImportChapter.h"
#include "ui/import/IEEditViewController.h"
#include "ui/import/IEImportChapterViewControllerDelegate.h"
#include "ui/kit/ScreenServices.h"

class QAction;

// The first form of a zip import: the book's title and source, prefilled
// from the first chapter's folder name. Next walks the chapters in order,
// one chapter form at a time; the temporary folder is emptied when the walk
// ends, whether it got through, failed or was cancelled.
// Thread contract: main thread only.
class IEImportBookViewController : public IEEditViewController, public IEImportChapterViewControllerDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(IEImportBookViewController)

public:
    IEImportBookViewController(QString unzippedPath, QString parsedBookTitle, QString parsedSource,
                               QList<IEImportChapter> chapters, ScreenServices services,
                               QWidget *parent = nullptr);

    QLineEdit *bookTextField() const { return bookTextField_; }
    QLineEdit *sourceTextField() const { return sourceTextField_; }
    QAction *nextButton() const { return nextAction_; }
    QAction *cancelButton() const { return cancelAction_; }
    const QList<IEImportChapter> &chapters() const { return chapters_; }
    unsigned currentChapterIndex() const { return currentChapterIndex_; }

    // The navigation bar's buttons. Next answers false when it refused (the
    // user has been told why) and the screen stays.
    bool next();
    void cancel();

    // TableViewDataSource
    int numberOfSections() override { return 2; }
    int numberOfRows(int) override { return 2; }
    TableCell cellForRow(const IndexPath &path) override;
    // IEImportChapterViewControllerDelegate
    void chapterDidSave(IEImportChapterViewController *controller) override;
    void chapterSaveFailed(IEImportChapterViewController *controller) override;

protected:
    void viewDidLoad() override;
    void makeFields() override;

private:
    void pushChapterScreen(const QString &bookTitle, const QString &source);

    QString unzippedPath_;
    QString parsedBookTitle_;
    QString parsedSource_;
    QList<IEImportChapter> chapters_;
    ScreenServices services_;
    unsigned currentChapterIndex_ = 0;
    QLineEdit *bookTextField_ = nullptr; // widgets are QObject children
    QLineEdit *sourceTextField_ = nullptr;
    QAction *nextAction_ = nullptr;
    QAction *cancelAction_ = nullptr;
};
