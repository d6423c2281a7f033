#pragma once

#include <memory>

#include "foundation/Decimal.h"
#include "ie/zip/IEImportChapter.h"
#include "ui/import/IEEditViewController.h"

class IEDBImporterOperation;
class IEImportChapterViewControllerDelegate;
class OperationQueue;
class QAction;
class QLabel;

// The second form of a zip import, once per chapter: its chapter and volume
// numbers, prefilled from its folder's name. Save writes the chapter into
// the library in the background behind the wait overlay.
// Thread contract: main thread only; the store import runs on a queue of
// its own and reports back on the main thread.
class IEImportChapterViewController : public IEEditViewController
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(IEImportChapterViewController)

public:
    IEImportChapterViewController(QString unzippedPath, QString bookTitle, QString source,
                                  Decimal parsedVolumeNumber, Decimal parsedChapterNumber,
                                  IEImportChapter chapter, QWidget *parent = nullptr);
    ~IEImportChapterViewController() override;

    IEImportChapterViewControllerDelegate *delegate() const { return delegate_; }
    void setDelegate(IEImportChapterViewControllerDelegate *delegate) { delegate_ = delegate; }

    const IEImportChapter &chapter() const { return chapter_; }
    const QString &bookTitle() const { return bookTitle_; }
    const QString &source() const { return source_; }
    QLineEdit *chapterNumberTextField() const { return chapterNumberTextField_; }
    QLineEdit *volumeNumberTextField() const { return volumeNumberTextField_; }
    QAction *saveButton() const { return saveAction_; }
    QAction *cancelButton() const { return cancelAction_; }
    // The queue the chapter is written on; tests wait on it.
    OperationQueue *importQueue() const { return queue_.get(); }

    // The navigation bar's buttons. Save answers false when a field was
    // refused (the user has been told why) and nothing started.
    bool save();
    void cancel();

    // TableViewDataSource
    int numberOfSections() override { return 3; }
    int numberOfRows(int section) override;
    TableCell cellForRow(const IndexPath &path) override;

protected:
    void viewDidLoad() override;
    void makeFields() override;

private:
    void importDidFinish();
    void importDidFail(IEDBImporterOperation &operation);

    QString unzippedPath_;
    QString bookTitle_;
    QString source_;
    Decimal parsedVolumeNumber_;
    Decimal parsedChapterNumber_;
    IEImportChapter chapter_;
    IEImportChapterViewControllerDelegate *delegate_ = nullptr;
    std::unique_ptr<OperationQueue> queue_;
    QLineEdit *chapterNumberTextField_ = nullptr; // widgets are QObject children
    QLineEdit *volumeNumberTextField_ = nullptr;
    QLabel *titleLabel_ = nullptr;
    QAction *saveAction_ = nullptr;
    QAction *cancelAction_ = nullptr;
};
