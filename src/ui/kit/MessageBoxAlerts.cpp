#include "ui/kit/MessageBoxAlerts.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

MessageBoxAlerts::MessageBoxAlerts(QWidget *window) : window_(window) {}

void MessageBoxAlerts::show(AlertRequest request)
{
    QWidget *parent = window_ ? window_.data() : QApplication::activeWindow();
    auto *box = new QMessageBox(parent); // deletes itself when closed
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    box->setWindowTitle(request.title);
    box->setText(request.title);
    box->setInformativeText(request.message);
    box->setIcon(QMessageBox::NoIcon);

    // Buttons are numbered as the request numbers them: the cancel button
    // first when there is one, then the others in order.
    std::vector<QAbstractButton *> buttons;
    if (!request.cancelButton.isEmpty()) {
        QPushButton *cancel = box->addButton(request.cancelButton, QMessageBox::RejectRole);
        box->setEscapeButton(cancel);
        buttons.push_back(cancel);
    }
    for (const QString &title : request.otherButtons)
        buttons.push_back(box->addButton(title, QMessageBox::AcceptRole));
    if (buttons.empty())
        buttons.push_back(box->addButton(QMessageBox::Ok));

    auto onButton = std::move(request.onButton);
    QObject::connect(box, &QMessageBox::buttonClicked, box, [buttons, onButton](QAbstractButton *pressed) {
        if (!onButton)
            return;
        for (std::size_t i = 0; i < buttons.size(); ++i) {
            if (buttons[i] == pressed) {
                onButton(static_cast<int>(i));
                return;
            }
        }
    });
    box->open();
}
