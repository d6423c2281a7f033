#pragma once

#include <QStringList>
#include <QWidget>

class QButtonGroup;
class QLineEdit;
class QPushButton;

// A search field with optional scope buttons under it and a "Cancel" button
// shown while the field is being edited. Ctrl+F anywhere in `shortcutScope`
// (the screen it sits on) focuses the field.
// The tap methods do what the user does, for keyboard use and tests.
// Thread contract: main thread only.
class SearchBar : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SearchBar)

public:
    explicit SearchBar(QWidget *shortcutScope, QWidget *parent = nullptr);

    QString text() const;
    void setText(const QString &text);
    void setPlaceholder(const QString &text);

    void setScopeButtonTitles(const QStringList &titles);
    QStringList scopeButtonTitles() const { return scopeTitles_; }
    int selectedScopeButtonIndex() const { return scope_; }
    void setSelectedScopeButtonIndex(int index);

    bool isEditing() const { return editing_; }
    QLineEdit *field() const { return field_; }
    QPushButton *cancelButton() const { return cancel_; }

    // What typing, the Return key, the Cancel button and Ctrl+F do.
    void type(const QString &text);
    void tapSearchButton();
    void tapCancelButton();
    void beginEditing();
    // Leaves editing without a search (the keyboard put away).
    void endEditing();

Q_SIGNALS:
    void textDidChange(const QString &text);
    void didBeginEditing();
    void didEndEditing();
    void searchButtonClicked();
    void cancelButtonClicked();
    void selectedScopeButtonIndexDidChange(int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *field_;     // QObject child
    QPushButton *cancel_;  // QObject child
    QWidget *scopeRow_;    // QObject child
    QButtonGroup *scopes_; // QObject child
    QStringList scopeTitles_;
    int scope_ = 0;
    bool editing_ = false;
};
