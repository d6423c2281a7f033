#pragma once

#include <QWidget>

class QPushButton;

// The strip above the chapters in edit mode, holding the one bulk action:
// deleting the chapters already read.
// Thread contract: main thread only.
class ChaptersHeaderView : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ChaptersHeaderView)

public:
    static constexpr int Height = 50;

    explicit ChaptersHeaderView(QWidget *parent = nullptr);

    QPushButton *deleteReadButton() const { return deleteReadButton_; }

Q_SIGNALS:
    void deleteReadClicked();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPushButton *deleteReadButton_ = nullptr; // QObject child
};
