#include "ui/kit/SearchBar.h"

#include <QButtonGroup>
#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "foundation/Localized.h"

SearchBar::SearchBar(QWidget *shortcutScope, QWidget *parent)
    : QWidget(parent), field_(new QLineEdit(this)), cancel_(new QPushButton(localized("Cancel"), this)),
      scopeRow_(new QWidget(this)), scopes_(new QButtonGroup(this))
{
    setAutoFillBackground(true);
    setStyleSheet(QStringLiteral(
        "SearchBar { background: #b8c1cc; }"
        "QLineEdit { background: white; border: 1px solid #8a96a5; border-radius: 14px; padding: 4px 12px; }"
        "QPushButton { background: #6f7f94; color: white; border: 1px solid #56657a; border-radius: 5px;"
        " padding: 5px 10px; font-weight: bold; }"
        "QPushButton:checked { background: #2f5f9e; }"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);
    auto *row = new QHBoxLayout;
    row->setSpacing(6);
    field_->setClearButtonEnabled(true);
    field_->installEventFilter(this);
    row->addWidget(field_, 1);
    row->addWidget(cancel_);
    cancel_->hide();
    layout->addLayout(row);
    auto *scopeLayout = new QHBoxLayout(scopeRow_);
    scopeLayout->setContentsMargins(0, 0, 0, 0);
    scopeLayout->setSpacing(0);
    scopeRow_->hide();
    layout->addWidget(scopeRow_);
    scopes_->setExclusive(true);

    connect(field_, &QLineEdit::textEdited, this, [this](const QString &text) {
        beginEditing();
        Q_EMIT textDidChange(text);
    });
    connect(field_, &QLineEdit::returnPressed, this, &SearchBar::tapSearchButton);
    connect(cancel_, &QPushButton::clicked, this, &SearchBar::tapCancelButton);
    connect(scopes_, &QButtonGroup::idClicked, this, &SearchBar::setSelectedScopeButtonIndex);

    auto *find = new QShortcut(QKeySequence::Find, shortcutScope ? shortcutScope : this);
    find->setContext(Qt::WidgetWithChildrenShortcut);
    connect(find, &QShortcut::activated, this, [this] {
        field_->setFocus(Qt::ShortcutFocusReason);
        field_->selectAll();
        beginEditing();
    });
}

QString SearchBar::text() const
{
    return field_->text();
}

void SearchBar::setText(const QString &text)
{
    field_->setText(text);
}

void SearchBar::setPlaceholder(const QString &text)
{
    field_->setPlaceholderText(text);
}

void SearchBar::setScopeButtonTitles(const QStringList &titles)
{
    scopeTitles_ = titles;
    for (QAbstractButton *button : scopes_->buttons()) {
        scopes_->removeButton(button);
        button->deleteLater();
    }
    for (int i = 0; i < titles.size(); ++i) {
        auto *button = new QPushButton(titles[i], scopeRow_);
        button->setCheckable(true);
        button->setChecked(i == scope_);
        scopes_->addButton(button, i);
        scopeRow_->layout()->addWidget(button);
    }
    scopeRow_->setVisible(!titles.isEmpty());
}

void SearchBar::setSelectedScopeButtonIndex(int index)
{
    if (index < 0 || (!scopeTitles_.isEmpty() && index >= scopeTitles_.size()))
        return;
    const bool changed = index != scope_;
    scope_ = index;
    if (QAbstractButton *button = scopes_->button(index))
        button->setChecked(true);
    if (changed)
        Q_EMIT selectedScopeButtonIndexDidChange(index);
}

void SearchBar::type(const QString &text)
{
    beginEditing();
    field_->setText(text);
    Q_EMIT textDidChange(text);
}

void SearchBar::tapSearchButton()
{
    endEditing();
    Q_EMIT searchButtonClicked();
}

void SearchBar::tapCancelButton()
{
    field_->setText(QString());
    endEditing();
    Q_EMIT cancelButtonClicked();
}

void SearchBar::beginEditing()
{
    if (editing_)
        return;
    editing_ = true;
    cancel_->show();
    Q_EMIT didBeginEditing();
}

void SearchBar::endEditing()
{
    if (field_->hasFocus())
        field_->clearFocus();
    if (!editing_)
        return;
    editing_ = false;
    cancel_->hide();
    Q_EMIT didEndEditing();
}

bool SearchBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == field_ && event->type() == QEvent::FocusIn)
        beginEditing();
    return QWidget::eventFilter(watched, event);
}
