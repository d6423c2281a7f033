#pragma once

#include <QToolButton>

// A navigation bar title that gives way to the bar's buttons: it asks for
// room for its whole text but settles for less, shortening the text with an
// ellipsis, so a long manga or site name never widens a phone's window.
// With an icon it is a button (the chapter list's title opens the book's
// details).
// Thread contract: main thread only.
class NavTitleView : public QToolButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NavTitleView)

public:
    explicit NavTitleView(const QString &text, QWidget *parent = nullptr);

    QString fullText() const { return fullText_; }
    void setFullText(const QString &text);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    int chrome() const;
    int textWidth(const QString &text) const;
    void elide();

    QString fullText_;
};
