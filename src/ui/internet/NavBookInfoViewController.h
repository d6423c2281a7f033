#pragma once

#include <vector>

#include <QString>

#include "sites/NavBookInfo.h"
#include "ui/kit/TableViewDataSource.h"
#include "ui/kit/TableViewDelegate.h"
#include "ui/kit/ViewController.h"

class AsyncImageView;
class NavBookInfoViewController;
class TableView;

// Hears the details panel's "Done".
class NavBookInfoViewControllerDelegate
{
public:
    virtual ~NavBookInfoViewControllerDelegate() = default;
    virtual void navBookInfoViewControllerDidSelectDismiss(NavBookInfoViewController *controller) {}
};

// A book's details as the site gives them, with its cover when it has one,
// presented over the chapter list.
// Thread contract: main thread only.
class NavBookInfoViewController : public ViewController, public TableViewDataSource, public TableViewDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NavBookInfoViewController)

public:
    struct Item {
        QString label;
        QString value;
    };

    NavBookInfoViewController(const QString &bookTitle, const NavBookInfo &navBookInfo,
                              NavBookInfoViewControllerDelegate *delegate, QWidget *parent = nullptr);
    ~NavBookInfoViewController() override;

    // A cover address relative to the site becomes absolute against its base.
    static void resolveCoverURL(NavBookInfo &info, const QString &rootURLString);

    const QString &bookTitle() const { return bookTitle_; }
    const NavBookInfo &navBookInfo() const { return navBookInfo_; }
    const std::vector<Item> &items() const { return items_; }
    TableView *tableView() const { return tableView_; }
    AsyncImageView *coverView() const { return coverView_; }
    bool hasCover() const { return !navBookInfo_.coverUrlString.isEmpty(); }

    // What the "Done" button does.
    void done();

    // TableViewDataSource
    int numberOfSections() override;
    int numberOfRows(int section) override;
    TableCell cellForRow(const IndexPath &path) override;
    // TableViewDelegate
    int heightForRow(const IndexPath &path) override;

protected:
    void viewDidLoad() override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void initItems();
    const Item &itemAt(const IndexPath &path) const;

    QString bookTitle_;
    NavBookInfo navBookInfo_;
    NavBookInfoViewControllerDelegate *delegate_;
    std::vector<Item> items_;
    TableView *tableView_ = nullptr;
    QWidget *coverCell_ = nullptr;        // QObject child
    AsyncImageView *coverView_ = nullptr; // QObject child
};
