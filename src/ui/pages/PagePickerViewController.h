#pragma once

#include <memory>

#include "ui/kit/ViewController.h"

class PagePickerViewControllerDelegate;
class PagesData;
class QListWidget;
class QPushButton;

// The page picker: one column with a row per page ("1", "2", ...) under a
// bar with Cancel and Done. The viewer slides it up over itself.
// Thread contract: main thread only.
class PagePickerViewController : public ViewController
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PagePickerViewController)

public:
    explicit PagePickerViewController(std::shared_ptr<PagesData> pagesData, QWidget *parent = nullptr);

    void setPagesData(std::shared_ptr<PagesData> pagesData);
    PagePickerViewControllerDelegate *delegate() const { return delegate_; }
    void setDelegate(PagePickerViewControllerDelegate *delegate) { delegate_ = delegate; }

    int numberOfRows() const;
    QString titleForRow(int row) const;
    int selectedRow() const;
    void selectRow(int row);

    void done();
    void cancel();

    QListWidget *picker() const { return picker_; }
    QPushButton *doneButton() const { return doneButton_; }
    QPushButton *cancelButton() const { return cancelButton_; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void fill();

    std::shared_ptr<PagesData> pagesData_;
    PagePickerViewControllerDelegate *delegate_ = nullptr;
    QListWidget *picker_ = nullptr; // QObject children
    QPushButton *doneButton_ = nullptr;
    QPushButton *cancelButton_ = nullptr;
};
