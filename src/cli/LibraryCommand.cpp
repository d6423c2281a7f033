// yomora-cli library: the books of the library on a home tree, as the
// library tab lists them, with their source and chapter count.

#include <QJsonDocument>
#include <QJsonObject>

#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "files/HomeTreeLock.h"
#include "files/MyDirectories.h"
#include "store/AppData.h"
#include "store/BooksRequest.h"

namespace {

const char *const kUsage = "library [--root DIR] [--json]";

int run(const QStringList &arguments)
{
    QStringList args = arguments;
    const bool json = CliSupport::takeFlag(args, QStringLiteral("--json"));
    QString optionError;
    const auto root = CliSupport::takeValue(args, QStringLiteral("--root"), &optionError);
    if (!optionError.isEmpty() || !args.isEmpty())
        return CliSupport::fail(QStringLiteral("usage: yomora-cli %1").arg(QLatin1String(kUsage)), 2);
    MyDirectories::setRootDirectory(root.value_or(QString()));
    const auto lock = CliSupport::lockHomeTree();
    if (!lock)
        return 1;
    std::optional<Error> error;
    const auto books = AppData::sharedAppData().managedObjectContext()->fetch<Book>(BooksRequest(), &error);
    if (error)
        return CliSupport::fail(error->localizedDescription());
    for (const auto &book : books) {
        const qsizetype chapters = qsizetype(book->chapters().size());
        if (json) {
            const QJsonObject object{{QStringLiteral("title"), book->title()},
                                     {QStringLiteral("rootTitle"), book->rootTitle()},
                                     {QStringLiteral("chapters"), chapters}};
            CliSupport::printLine(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
        } else {
            CliSupport::printLine(book->title() + u'\t' + book->rootTitle() + u'\t' +
                                  QString::number(chapters));
        }
    }
    return 0;
}

const CliCommand::Registrar registrar(CliCommand{QStringLiteral("library"), QString::fromLatin1(kUsage),
                                                 run});

} // namespace
