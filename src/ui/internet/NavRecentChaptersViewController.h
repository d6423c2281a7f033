#pragma once

#include <QSet>
#include <QStringList>

#include "ui/internet/NavBaseChaptersViewController.h"

class QAction;

// A site's latest releases, newest first, each chapter with its book and a
// "Download" button; one toggle narrows the list to the user's favourites.
// Thread contract: main thread only; the fetch runs on the wrapper's queue.
class NavRecentChaptersViewController : public NavBaseChaptersViewController
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NavRecentChaptersViewController)

public:
    NavRecentChaptersViewController(NavScreenContext context, const QString &rootURLString,
                                    const QString &rootTitle, const QString &title,
                                    const QString &directoryURLString, QWidget *parent = nullptr);
    ~NavRecentChaptersViewController() override;

    const QString &directoryURLString() const { return directoryURLString_; }
    const QList<NavBook> &books() const { return books_; }
    const QStringList &dates() const { return dates_; }
    const QStringList &labels() const { return labels_; }
    const QList<NavChapter> &favoritesChapters() const { return favoritesChapters_; }
    const QList<NavBook> &favoritesBooks() const { return favoritesBooks_; }
    QAction *showFavoritesButton() const { return showFavoritesAction_; }
    QWidget *favoritesBar() const { return favoritesBar_; }
    bool isShowingFavorites() const { return showingFavorites_; }

    // "%@ %@": the book's title, then the chapter's without the book's title in it.
    static QString rowLabel(const QString &bookTitle, const QString &chapterTitle);

    void toggleShowFavorites();
    void updateTable();

protected:
    QWidget *createTopBar() override;
    void viewDidLoad() override;
    void viewWillAppear() override;
    void fetch() override;
    void observeFetcher() override;
    const NavChapter *chapterAt(int row) const override;
    int chapterRowCount() const override;
    NavBook bookForRow(int row) const override;
    std::unique_ptr<NavChapterBaseCell> chapterCellForRow(int row) const override;
    void filterContentForSearchText(const QString &text) override;

private:
    // The favourites' titles, and the rows of their books.
    void rebuildFavorites();
    const QList<NavBook> &shownBooks() const;

    QString directoryURLString_;
    QList<NavBook> books_;
    QStringList dates_;
    QStringList labels_;
    QList<NavBook> filteredBooks_; // parallel to filteredChapters_

    QSet<QString> favoritesDict_;
    QList<NavChapter> favoritesChapters_;
    QList<NavBook> favoritesBooks_;
    QStringList favoritesDates_;
    QStringList favoritesLabels_;
    bool showingFavorites_ = false;

    QWidget *favoritesBar_ = nullptr; // QObject children
    QAction *showFavoritesAction_ = nullptr;
};
