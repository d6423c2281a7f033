#pragma once

#include "ui/kit/IndexPath.h"

// Hears what the user does with a table's rows.
class TableViewDelegate
{
public:
    virtual ~TableViewDelegate() = default;

    // A row height; 0 or less uses the table's row height.
    virtual int heightForRow(const IndexPath &path) { return 0; }
    // Refusing keeps the row unselected and didSelectRow() unsent.
    virtual bool willSelectRow(const IndexPath &path) { return true; }
    virtual void didSelectRow(const IndexPath &path) {}
    virtual void accessoryButtonTapped(const IndexPath &path) {}
    // The push button inside a row (TableCell::buttonTitle).
    virtual void rowButtonTapped(const IndexPath &path) {}
};
