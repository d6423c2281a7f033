#include "cli/CliCommand.h"
#include "cli/CliSession.h"
#include "cli/CliSupport.h"
#include "files/MyDirectories.h"
#include "foundation/Localized.h"
#include "ie/IEDBExporterOperation.h"
#include "store/AppData.h"
#include "store/IsDownloading.h"

#include <QDir>
#include <QFileInfo>

namespace {

int exportChapter(const QStringList &arguments)
{
    QStringList args = arguments;
    CliSession session(args, CliSession::HomeTree | CliSession::Confirmations);
    QString error;
    const auto out = CliSupport::takeValue(args, QStringLiteral("--out"), &error);
    const auto source = CliSupport::takeValue(args, QStringLiteral("--source"), &error);
    if (!error.isEmpty() || args.size() != 2 || !CliSupport::unknownOptions(args).isEmpty())
        return CliSupport::fail(
            QStringLiteral("usage: yomora-cli export BOOK CHAPTER [--source S] [--out DIR] [--root DIR]"), 2);
    const Decimal number = Decimal::fromString(args[1]);
    if (number.isNaN())
        return CliSupport::fail(localized("Chapter must be a number"), 2);
    if (const auto status = session.open())
        return *status;
    if (IsDownloading())
        return CliSupport::fail(localized("Not while downloading"));
    const auto book = session.findBook(args[0], source);
    if (!book)
        return 1;
    const auto chapter = CliSession::findChapter(*book, number);
    if (!chapter)
        return 1;

    const QString outputRoot =
        out ? QFileInfo(*out).absoluteFilePath() : MyDirectories::sharedMyDirectories().documentDirectory();
    if (!QFileInfo(outputRoot).isDir() && !QDir().mkpath(outputRoot))
        return CliSupport::fail(QStringLiteral("Cannot create %1").arg(outputRoot));

    bool succeeded = false;
    auto operation = std::make_shared<IEDBExporterOperation>(
        *chapter, outputRoot, [](IEDBExporterOperation &) {},
        [&](IEDBExporterOperation &) { succeeded = true; });
    session.run(operation);
    if (!succeeded) {
        // A zip cut short is no export.
        if (!operation->zipFileName().isEmpty())
            QFile::remove(operation->zipFileName());
        return CliSupport::fail(operation->error() ? operation->error()->localizedDescription() : QString());
    }
    CliSupport::printLine(operation->zipFileName());
    return 0;
}

const CliCommand::Registrar
    registrar({QStringLiteral("export"),
               QStringLiteral("export BOOK CHAPTER [--source S] [--out DIR] [--root DIR]  zip a "
                              "library chapter into the documents folder or DIR"),
               exportChapter});

} // namespace
