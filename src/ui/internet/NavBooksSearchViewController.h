#pragma once

#include "ui/internet/NavBooksViewController.h"

// The site's own search: the typed text is sent to the site when the user
// presses Search, and the list shows what the site found. Nothing is cached.
// While the field is being edited a dark panel covers the list.
// Thread contract: main thread only.
class NavBooksSearchViewController : public NavBooksViewController
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NavBooksSearchViewController)

public:
    NavBooksSearchViewController(NavScreenContext context, const QString &rootURLString,
                                 const QString &rootTitle, const QString &directoryURLString,
                                 const QString &title, QWidget *parent = nullptr);

    const QString &searchAppend() const { return searchAppend_; }
    QWidget *coverView() const { return coverView_; }
    // The site's form of the typed text: spaces become "+", and "&", "'"
    // and double quotes their escapes with the site's trailing semicolon.
    static QString escapedSearchText(const QString &text);
    // The address a search for `text` fetches.
    QString searchURLString(const QString &text) const;

    void updateTable() override;

    int numberOfSections() override { return 1; }
    int numberOfRows(int section) override;
    TableCell cellForRow(const IndexPath &path) override;
    QString titleForHeader(int) override { return {}; }
    QStringList sectionIndexTitles() override { return {}; }
    bool willSelectRow(const IndexPath &path) override;
    void didSelectRow(const IndexPath &path) override;

protected:
    void viewDidLoad() override;
    void initBooks() override {}
    QWidget *createTableHeaderView() override { return nullptr; }
    void resizeEvent(QResizeEvent *event) override;

private:
    void setCovered(bool covered);
    void search();
    void cancelSearch();

    QString searchAppend_;
    QWidget *coverView_ = nullptr;             // QObject child
    ActivityIndicatorView *spinner_ = nullptr; // QObject child
};
