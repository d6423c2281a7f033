#include <algorithm>

#include "cli/CliCommand.h"
#include "cli/CliLibrary.h"
#include "cli/CliSupport.h"
#include "store/AppData.h"
#include "store/BooksRequest.h"

namespace {

int library(const QStringList &arguments)
{
    QStringList args = arguments;
    CliLibrary session(args);
    if (args.size() > 1 || !CliSupport::unknownOptions(args).isEmpty())
        return CliSupport::fail(QStringLiteral("usage: yomora-cli library [BOOK] [--root DIR]"), 2);
    if (const auto status = session.open())
        return *status;

    if (args.isEmpty()) {
        std::optional<Error> error;
        const auto books =
            AppData::sharedAppData().managedObjectContext()->fetch<Book>(BooksRequest(), &error);
        if (error)
            return CliSupport::fail(error->localizedDescription());
        for (const auto &book : books)
            CliSupport::printLine(QStringLiteral("%1\t%2\t%3 chapters")
                                      .arg(book->title(), book->rootTitle())
                                      .arg(book->chapters().size()));
        return 0;
    }
    const auto book = session.findBook(args.first());
    if (!book)
        return 1;
    auto chapters = book->chapters();
    std::stable_sort(chapters.begin(), chapters.end(),
                     [](const auto &a, const auto &b) { return a->number() < b->number(); });
    const auto lastRead = book->lastChapterNumberRead();
    for (const auto &chapter : chapters) {
        const Decimal number = chapter->number().value_or(Decimal(0));
        const bool isLastRead = lastRead && number * Decimal(10) == *lastRead;
        CliSupport::printLine(QStringLiteral("%1\t%2\t%3 pages\tlast page read %4%5")
                                  .arg(number.toString(), chapter->title())
                                  .arg(chapter->pages().size())
                                  .arg(chapter->lastPageRead())
                                  .arg(isLastRead ? QStringLiteral("\tlast chapter read") : QString()));
    }
    return 0;
}

const CliCommand::Registrar registrar({QStringLiteral("library"),
                                       QStringLiteral("library [BOOK] [--root DIR]  the library's books with "
                                                      "their source and chapter counts, or BOOK's chapters"),
                                       library});

} // namespace
