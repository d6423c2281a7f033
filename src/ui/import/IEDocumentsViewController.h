#pragma once

#include <memory>
#include <optional>

#include <QList>
#include <QPointer>
#include <QUrl>

#include "ie/IEFilesFetcher.h"
#include "ui/kit/ScreenServices.h"
#include "ui/kit/TableViewDataSource.h"
#include "ui/kit/TableViewDelegate.h"
#include "ui/kit/ViewController.h"

class IEImporterOperation;
class OperationQueue;
class QAction;
class QLabel;
class QPushButton;
class TableView;

// The Import tab: the files of the documents folder, where the user puts
// zips of scanned chapters and where chapter exports land. Choosing a zip
// unpacks it and leads to the import forms; edit mode deletes files. The
// screen also empties the temporary folder whenever an import ends, and
// takes zips dropped on the window into the documents folder.
// Thread contract: main thread only; the unpacking and the clean-up run on
// queues of their own and report back on the main thread.
class IEDocumentsViewController : public ViewController, public TableViewDataSource, public TableViewDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(IEDocumentsViewController)

public:
    explicit IEDocumentsViewController(ScreenServices services, QWidget *parent = nullptr);
    ~IEDocumentsViewController() override;

    TableView *tableView() const { return tableView_; }
    const IEFilesFetcher &filesFetcher() const { return filesFetcher_; }
    std::optional<IndexPath> selectedIndexPath() const { return selectedIndexPath_; }
    QAction *helpButton() const { return helpAction_; }
    QPushButton *openFolderButton() const { return openFolderButton_; }
    // The queues of the unpacking and of the clean-up; tests wait on them.
    OperationQueue *importQueue() const { return importQueue_.get(); }
    OperationQueue *removerQueue() const { return removerQueue_.get(); }

    void setEditing(bool editing) override;
    // Lists the documents folder again and shows it.
    void reloadFiles();
    void showHelp();
    void openFolder();

    // Drops of files anywhere on `window` come to this screen.
    void acceptDropsOn(QWidget *window);
    // Copies each zip into the documents folder, never over a file already
    // there; anything else is refused with the reason. True when at least
    // one file was copied.
    bool copyDroppedFiles(const QList<QUrl> &urls);

    // The import's and the clean-up's callbacks.
    void unzipDidFinish(IEImporterOperation &operation);
    void unzipDidFail(IEImporterOperation &operation);
    void filesRemoverStart();

    // TableViewDataSource
    int numberOfRows(int section) override;
    TableCell cellForRow(const IndexPath &path) override;
    void commitDeleteRow(const IndexPath &path) override;
    // TableViewDelegate
    bool willSelectRow(const IndexPath &path) override;
    void didSelectRow(const IndexPath &path) override;

protected:
    void viewDidLoad() override;
    void viewWillAppear() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString documentsPath() const;
    void startImport(const QString &zipFileName);

    ScreenServices services_;
    IEFilesFetcher filesFetcher_;
    std::optional<IndexPath> selectedIndexPath_;
    std::unique_ptr<OperationQueue> importQueue_;
    std::unique_ptr<OperationQueue> removerQueue_;
    QPointer<QWidget> dropWindow_;
    TableView *tableView_ = nullptr; // widgets are QObject children
    QLabel *folderLabel_ = nullptr;
    QPushButton *openFolderButton_ = nullptr;
    QAction *helpAction_ = nullptr;
};
