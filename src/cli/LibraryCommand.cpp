// yomora-cli library: the books of the library on a home tree, as the
// library tab lists them, with their source and chapter count; one book's
// chapters with their number, pages and last page read; or one chapter's
// pages with their file, size and the margins found on them (the columns
// where the content starts and ends, 0-0 when none were found), and whether
// the page was found grey ("gray", "color", or "-" when never measured).

#include <algorithm>
#include <optional>

#include <QJsonDocument>
#include <QJsonObject>

#include "cli/CliCommand.h"
#include "cli/CliSession.h"
#include "cli/CliSupport.h"
#include "foundation/Localized.h"
#include "store/AppData.h"
#include "store/BooksRequest.h"
#include "store/Chapter.h"
#include "store/Page.h"

namespace {

const char *const kUsage = "library [BOOK [CHAPTER]] [--source S] [--root DIR] [--json]";

void print(const QJsonObject &object, const QStringList &columns, bool json)
{
    if (json)
        CliSupport::printLine(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
    else
        CliSupport::printLine(columns.join(u'\t'));
}

int printPages(const Book &book, const QString &chapterText, bool json)
{
    const Decimal number = Decimal::fromString(chapterText);
    if (number.isNaN())
        return CliSupport::fail(localized("Chapter must be a number"), 2);
    const auto chapter = CliSession::findChapter(book, number);
    if (!chapter)
        return 1;
    auto pages = chapter->pages();
    std::stable_sort(pages.begin(), pages.end(),
                     [](const auto &a, const auto &b) { return a->number() < b->number(); });
    for (const auto &page : pages) {
        const std::optional<bool> gray = page->isGray();
        print({{QStringLiteral("number"), page->number()},
               {QStringLiteral("file"), page->uuid()},
               {QStringLiteral("width"), page->width()},
               {QStringLiteral("height"), page->height()},
               {QStringLiteral("leftBorder"), page->leftBorder()},
               {QStringLiteral("rightBorder"), page->rightBorder()},
               {QStringLiteral("isGray"), gray ? QJsonValue(*gray) : QJsonValue()}},
              {QString::number(page->number()), page->uuid(),
               QStringLiteral("%1x%2").arg(page->width()).arg(page->height()),
               QStringLiteral("%1-%2").arg(page->leftBorder()).arg(page->rightBorder()),
               gray ? (*gray ? QStringLiteral("gray") : QStringLiteral("color")) : QStringLiteral("-")},
              json);
    }
    return 0;
}

int run(const QStringList &arguments)
{
    QStringList args = arguments;
    const bool json = CliSupport::takeFlag(args, QStringLiteral("--json"));
    CliSession session(args, CliSession::HomeTree | CliSession::Confirmations);
    QString error;
    const auto source = CliSupport::takeValue(args, QStringLiteral("--source"), &error);
    if (!error.isEmpty() || args.size() > 2 || !CliSupport::unknownOptions(args).isEmpty() ||
        (source && args.isEmpty()))
        return CliSupport::fail(QStringLiteral("usage: yomora-cli %1").arg(QLatin1String(kUsage)), 2);
    if (const auto status = session.open())
        return *status;

    if (args.isEmpty()) {
        std::optional<Error> error;
        const auto books =
            AppData::sharedAppData().managedObjectContext()->fetch<Book>(BooksRequest(), &error);
        if (error)
            return CliSupport::fail(error->localizedDescription());
        for (const auto &book : books) {
            const qsizetype chapters = qsizetype(book->chapters().size());
            print({{QStringLiteral("title"), book->title()},
                   {QStringLiteral("rootTitle"), book->rootTitle()},
                   {QStringLiteral("chapters"), chapters}},
                  {book->title(), book->rootTitle(), QString::number(chapters)}, json);
        }
        return 0;
    }

    const auto book = session.findBook(args.first(), source);
    if (!book)
        return 1;
    if (args.size() == 2)
        return printPages(*book, args[1], json);
    auto chapters = book->chapters();
    std::stable_sort(chapters.begin(), chapters.end(),
                     [](const auto &a, const auto &b) { return a->number() < b->number(); });
    const auto lastRead = book->lastChapterNumberRead();
    for (const auto &chapter : chapters) {
        const Decimal number = chapter->number().value_or(Decimal(0));
        const bool isLastRead = lastRead && number * Decimal(10) == *lastRead;
        const qsizetype pages = qsizetype(chapter->pages().size());
        print({{QStringLiteral("number"), number.toString()},
               {QStringLiteral("title"), chapter->title()},
               {QStringLiteral("pages"), pages},
               {QStringLiteral("lastPageRead"), chapter->lastPageRead()},
               {QStringLiteral("lastChapterRead"), isLastRead}},
              {number.toString(), chapter->title(), QString::number(pages),
               QString::number(chapter->lastPageRead()) +
                   (isLastRead ? QStringLiteral(" (last read)") : QString())},
              json);
    }
    return 0;
}

const CliCommand::Registrar registrar(CliCommand{QStringLiteral("library"), QString::fromLatin1(kUsage),
                                                 run});

} // namespace
