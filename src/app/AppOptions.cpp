#include "app/AppOptions.h"

#include <QDir>

std::optional<AppOptions> AppOptions::parse(const QStringList &arguments, QString *error)
{
    AppOptions options;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        QString name = argument;
        QString value;
        bool hasValue = false;
        // Both "--root DIR" and "--root=DIR".
        if (const qsizetype eq = argument.indexOf(u'='); argument.startsWith(u"--") && eq > 0) {
            name = argument.left(eq);
            value = argument.mid(eq + 1);
            hasValue = true;
        }
        if (argument == u"--open-chapter") {
            if (i + 2 >= arguments.size()) {
                *error = QStringLiteral("--open-chapter needs a book title and a chapter number\n") + usage();
                return std::nullopt;
            }
            options.openBookTitle = arguments[++i];
            options.openChapterNumber = arguments[++i];
            continue;
        }
        if (name == u"--root" || name == u"--idiom") {
            if (!hasValue) {
                if (i + 1 >= arguments.size()) {
                    *error = QStringLiteral("%1 needs a value\n%2").arg(name, usage());
                    return std::nullopt;
                }
                value = arguments[++i];
            }
            if (name == u"--root") {
                if (value.isEmpty()) {
                    *error = QStringLiteral("--root needs a directory\n") + usage();
                    return std::nullopt;
                }
                options.root = QDir(value).absolutePath();
            } else if (!Device::parseIdiom(value, &options.idiom)) {
                *error = QStringLiteral("unknown idiom \"%1\"\n%2").arg(value, usage());
                return std::nullopt;
            }
        } else {
            *error = QStringLiteral("unknown argument \"%1\"\n%2").arg(argument, usage());
            return std::nullopt;
        }
    }
    return options;
}

QString AppOptions::usage()
{
    return QStringLiteral(
        "usage: yomora [--root DIR] [--idiom phone|pad] [--site NAME=URL ...]\n"
        "              [--open-chapter BOOK CHAPTER]\n"
        "  --root DIR     parent of the YomoraC home directory (default: $YOMORA_ROOT,\n"
        "                 else $XDG_DATA_HOME, else ~/.local/share)\n"
        "  --idiom IDIOM  phone (320 x 480 window, the default) or pad (768 x 1024)\n"
        "  --site NAME=URL  use URL as the base address of a site for this run\n"
        "                 (mangafox, mangareader, mangahere, onemanga, onemanga-mirror)\n"
        "  --open-chapter BOOK CHAPTER  open a stored chapter in the viewer (the book's\n"
        "                 title and the chapter's number, as yomora-cli export takes them)\n");
}
