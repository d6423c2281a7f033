#pragma once

#include <optional>

#include <QString>
#include <QStringList>

#include "foundation/Device.h"

// What the command line chooses: where the data lives and which device the
// window plays.
struct AppOptions {
    // The parent of the home directory; empty means the default root
    // ($YOMORA_ROOT, else $XDG_DATA_HOME, else ~/.local/share).
    QString root;
    Device::Idiom idiom = Device::Idiom::Phone;
    // --open-chapter BOOK CHAPTER: a stored chapter to open in the viewer
    // once the window shows; empty when none.
    QString openBookTitle;
    QString openChapterNumber;

    // Reads `yomora [--root DIR] [--idiom phone|pad] [--open-chapter BOOK CHAPTER]` (arguments[0] is the
    // program). On a mistake returns nothing and sets *error to a message
    // that includes the usage.
    static std::optional<AppOptions> parse(const QStringList &arguments, QString *error);
    static QString usage();
};
