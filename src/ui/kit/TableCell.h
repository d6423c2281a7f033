#pragma once

#include <optional>

#include <QColor>
#include <QFont>
#include <QPointer>
#include <QString>
#include <QWidget>

// What one table row shows; the data source fills one in for each row as it
// is drawn.
struct TableCell {
    enum class Style {
        Default,  // the text alone
        Subtitle, // the text with the detail text as a grey second line
        Value1,   // the text at the left, the detail text at the right
    };
    enum class Accessory { None, DisclosureIndicator, DetailDisclosureButton, Checkmark };

    Style style = Style::Default;
    QString text;
    QString detailText;
    Accessory accessory = Accessory::None;
    // A short grey text in a column at the right (a state, a count).
    QString statusText;
    // A thin bar under the text, 0 to 1; none when unset.
    std::optional<double> progress;
    // A control at the row's right (a switch, a slider), in place of the
    // accessory. The data source owns it, keeps it hidden and hands the same
    // widget out for its row every time; the table places it over the row
    // and shows it while the row is on screen. One whose horizontal size policy expands takes the width
    // the text leaves.
    QPointer<QWidget> accessoryView;
    // The accessory view takes the whole row (a picture), the text none.
    bool accessoryViewFillsRow = false;
    // A push button inside the row, at its right; none when empty.
    QString buttonTitle;
    // A drawing (an Icons name) shown in the push button in place of its
    // title; the title still names the button for keyboard and screen-reader
    // users.
    QString buttonImage;
    bool buttonEnabled = true;
    // Keeps the push button beside the delete mark in edit mode, for rows
    // whose button is an edit-mode action of its own.
    bool buttonWhileEditing = false;
    std::optional<QFont> font;
    std::optional<QFont> detailFont;
    QColor textColor = Qt::black;
    QColor detailColor = QColor(0x80, 0x80, 0x80);
    // The text wraps on words up to this many lines.
    int textLines = 1;
    // In the Value1 style, the detail text wraps on words up to this many
    // lines in a column of detailWidth at the right.
    int detailLines = 1;
    int detailWidth = 180;
    bool selectable = true;
};
