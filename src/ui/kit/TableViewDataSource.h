#pragma once

#include <QString>
#include <QStringList>

#include "ui/kit/IndexPath.h"
#include "ui/kit/TableCell.h"

// Supplies a table's sections and rows. The table asks again on every
// reloadData() and whenever a row is drawn, so answers must be cheap.
class TableViewDataSource
{
public:
    virtual ~TableViewDataSource() = default;

    virtual int numberOfSections() { return 1; }
    virtual int numberOfRows(int section) = 0;
    virtual TableCell cellForRow(const IndexPath &path) = 0;
    virtual QString titleForHeader(int section) { return {}; }
    virtual QString titleForFooter(int section) { return {}; }

    // The short titles down the table's right edge that jump to a section.
    virtual QStringList sectionIndexTitles() { return {}; }
    virtual int sectionForSectionIndexTitle(const QString &title, int index) { return index; }

    // Rows that can be deleted in edit mode.
    virtual bool canEditRow(const IndexPath &path) { return true; }
    // The user confirmed deleting the row: remove it from the data, then
    // reload the table.
    virtual void commitDeleteRow(const IndexPath &path) {}
};
