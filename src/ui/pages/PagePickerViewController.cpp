#include "ui/pages/PagePickerViewController.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "foundation/Device.h"
#include "foundation/Localized.h"
#include "store/PagesData.h"
#include "ui/pages/PagePickerViewControllerDelegate.h"

PagePickerViewController::PagePickerViewController(std::shared_ptr<PagesData> pagesData, QWidget *parent)
    : ViewController(parent), pagesData_(std::move(pagesData))
{
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0x1c, 0x1c, 0x1e));
    setPalette(palette);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *bar = new QWidget(this);
    bar->setAutoFillBackground(true);
    QPalette barPalette = bar->palette();
    barPalette.setColor(QPalette::Window, QColor(0x10, 0x10, 0x10));
    bar->setPalette(barPalette);
    bar->setFixedHeight(44);
    auto *barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(8, 6, 8, 6);
    const QString buttonStyle = QStringLiteral(
        "QPushButton { color: white; background: #3a3a3c; border: 1px solid #5a5a5e; border-radius: 5px;"
        " padding: 4px 12px; font-weight: bold; }"
        "QPushButton:pressed { background: #5a5a5e; }");
    cancelButton_ = new QPushButton(localized("Cancel"), bar);
    doneButton_ = new QPushButton(localized("Done"), bar);
    cancelButton_->setStyleSheet(buttonStyle);
    doneButton_->setStyleSheet(
        QString(buttonStyle).replace(QStringLiteral("#3a3a3c"), QStringLiteral("#1f6fd6")));
    barLayout->addWidget(cancelButton_);
    barLayout->addStretch(1);
    barLayout->addWidget(doneButton_);
    layout->addWidget(bar);

    picker_ = new QListWidget(this);
    picker_->setFrameShape(QFrame::NoFrame);
    picker_->setStyleSheet(
        QStringLiteral("QListWidget { background: #e9e9ee; color: black; font-size: %1px; }"
                       "QListWidget::item { padding: 6px; }"
                       "QListWidget::item:selected { background: #c7d7ef; color: black; }")
            .arg(Device::isPad() ? 22 : 20));
    layout->addWidget(picker_, 1);
    connect(doneButton_, &QPushButton::clicked, this, &PagePickerViewController::done);
    connect(cancelButton_, &QPushButton::clicked, this, &PagePickerViewController::cancel);
    connect(picker_, &QListWidget::itemActivated, this, &PagePickerViewController::done);
    fill();
}

void PagePickerViewController::setPagesData(std::shared_ptr<PagesData> pagesData)
{
    pagesData_ = std::move(pagesData);
    fill();
}

void PagePickerViewController::fill()
{
    picker_->clear();
    const int count = pagesData_ ? pagesData_->count() : 0;
    for (int row = 0; row < count; ++row) {
        auto *item = new QListWidgetItem(QString::number(row + 1), picker_);
        item->setTextAlignment(Qt::AlignCenter);
    }
}

int PagePickerViewController::numberOfRows() const
{
    return picker_->count();
}

QString PagePickerViewController::titleForRow(int row) const
{
    const QListWidgetItem *item = picker_->item(row);
    return item ? item->text() : QString();
}

int PagePickerViewController::selectedRow() const
{
    return picker_->currentRow();
}

void PagePickerViewController::selectRow(int row)
{
    picker_->setCurrentRow(row);
    if (QListWidgetItem *item = picker_->item(row))
        picker_->scrollToItem(item, QAbstractItemView::PositionAtCenter);
}

void PagePickerViewController::done()
{
    if (delegate_)
        delegate_->pagePickerControllerDidSelectPage(this);
}

void PagePickerViewController::cancel()
{
    if (delegate_)
        delegate_->pagePickerControllerDidSelectDismiss(this);
}

void PagePickerViewController::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        cancel();
    else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        done();
    else
        ViewController::keyPressEvent(event);
}
