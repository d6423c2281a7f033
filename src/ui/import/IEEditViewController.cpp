#include "ui/import/IEEditViewController.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "foundation/OperationQueue.h"
#include "ui/kit/TableView.h"

namespace {

constexpr int FieldMargin = 10;
constexpr int FieldHeight = 30;
constexpr int FieldRowHeight = FieldHeight + 2 * FieldMargin;

} // namespace

IEEditViewController::IEEditViewController(QWidget *parent) : ViewController(parent) {}

IEEditViewController::~IEEditViewController()
{
    if (tableView_) {
        tableView_->setDataSource(nullptr);
        tableView_->setDelegate(nullptr);
    }
}

void IEEditViewController::viewDidLoad()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    tableView_ = new TableView(TableView::Style::Grouped, this);
    layout->addWidget(tableView_);
    makeFields();
    tableView_->setDataSource(this);
    tableView_->setDelegate(this);
}

QLineEdit *IEEditViewController::makeTextField(const QString &placeholder, const QString &text, bool numeric)
{
    // The row's widget is a holder, so that the field keeps its margins
    // whatever width the table gives the row.
    auto *holder = new QWidget(this);
    holder->hide();
    auto *box = new QHBoxLayout(holder);
    box->setContentsMargins(FieldMargin, FieldMargin, FieldMargin, FieldMargin);
    auto *field = new QLineEdit(holder);
    field->setFixedHeight(FieldHeight);
    field->setPlaceholderText(placeholder);
    field->setText(text);
    field->setClearButtonEnabled(true);
    field->setStyleSheet(QStringLiteral("QLineEdit { background: white; color: #1f2a36; border: 1px solid "
                                        "#c8ced6; border-radius: 4px; padding: 0 4px; }"));
    if (numeric)
        field->setInputMethodHints(Qt::ImhFormattedNumbersOnly);
    box->addWidget(field);
    // Return puts the keyboard away, as on a touch screen; it submits nothing.
    connect(field, &QLineEdit::returnPressed, field, [field] { field->clearFocus(); });
    return field;
}

TableCell IEEditViewController::labelCell(const QString &text)
{
    TableCell cell;
    cell.text = text;
    cell.selectable = false;
    return cell;
}

TableCell IEEditViewController::fieldCell(QLineEdit *field)
{
    TableCell cell;
    cell.selectable = false;
    cell.accessoryView = field ? field->parentWidget() : nullptr;
    cell.accessoryViewFillsRow = true;
    return cell;
}

QString IEEditViewController::trimmedText(const QLineEdit *field)
{
    return field ? field->text().trimmed() : QString();
}

int IEEditViewController::heightForRow(const IndexPath &path)
{
    return cellForRow(path).accessoryViewFillsRow ? FieldRowHeight : 0;
}

void IEEditViewController::drain(OperationQueue &queue, bool cancel)
{
    if (cancel)
        queue.cancelAllOperations();
    while (queue.operationCount() > 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}
