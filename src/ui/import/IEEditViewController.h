#pragma once

#include <QString>

#include "ui/kit/TableViewDataSource.h"
#include "ui/kit/TableViewDelegate.h"
#include "ui/kit/ViewController.h"

class OperationQueue;
class QLineEdit;
class TableView;

// What the zip import's form screens share: a grouped table whose rows are
// either a label or a text field filling its row, and nothing to select.
// Thread contract: main thread only.
class IEEditViewController : public ViewController, public TableViewDataSource, public TableViewDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(IEEditViewController)

public:
    // Asks the documents screen to empty the temporary folder: an import
    // has ended, one way or another.
    static inline const QString FilesRemoverStartNotification =
        QStringLiteral("FilesRemoverStartNotification");

    ~IEEditViewController() override;

    TableView *tableView() const { return tableView_; }

    // Waits for what runs on `queue` without blocking its report, which
    // waits for the main thread; a cancelled operation reports nothing.
    static void drain(OperationQueue &queue, bool cancel);

    // TableViewDelegate
    int heightForRow(const IndexPath &path) override;
    bool willSelectRow(const IndexPath &) override { return false; }

protected:
    explicit IEEditViewController(QWidget *parent = nullptr);

    void viewDidLoad() override;
    // Called once the table exists and before it first asks for rows.
    virtual void makeFields() = 0;

    // A field for a row of its own; `numeric` asks for the number pad.
    QLineEdit *makeTextField(const QString &placeholder, const QString &text, bool numeric);
    static TableCell labelCell(const QString &text);
    static TableCell fieldCell(QLineEdit *field);
    // The field's text without surrounding white space.
    static QString trimmedText(const QLineEdit *field);

private:
    TableView *tableView_ = nullptr; // QObject child
};
