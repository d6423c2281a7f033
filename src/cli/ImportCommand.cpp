#include <QFileInfo>

#include "cli/CliCommand.h"
#include "cli/CliSession.h"
#include "cli/CliSupport.h"
#include "files/FilesRemover.h"
#include "files/MyDirectories.h"
#include "foundation/Localized.h"
#include "ie/IEDBImporter.h"
#include "ie/IEDBImporterOperation.h"
#include "ie/IEFileNameParser.h"
#include "ie/IEImporterOperation.h"
#include "store/IsDownloading.h"

namespace {

const char usage[] = "usage: yomora-cli import ZIP [--title T] [--source S] [--chapter N[,N...]] "
                     "[--volume V[,V...]] [--root DIR]";

struct Given {
    std::optional<QString> title, source, chapter, volume;
};

// Unpacks and reads the zip; the chapters found, or the exit status.
int unpack(CliSession &session, const QString &zip, QList<IEImportChapter> *chapters, QString *unzippedPath)
{
    bool succeeded = false;
    auto operation = std::make_shared<IEImporterOperation>(
        zip, MyDirectories::sharedMyDirectories().temporaryDirectory(), [](IEImporterOperation &) {},
        [&](IEImporterOperation &) { succeeded = true; });
    session.run(operation);
    if (!succeeded)
        return CliSupport::fail(
            withArguments(QStringLiteral("Failed: %@"),
                          {operation->error() ? operation->error()->localizedDescription() : QString()}));
    *chapters = operation->chapters();
    *unzippedPath = operation->unzippedPath();
    return 0;
}

int importChapters(CliSession &session, const QList<IEImportChapter> &found, const QString &unzippedPath,
                   const Given &given)
{
    if (found.isEmpty())
        return CliSupport::fail(localized("No chapters?"));
    // One number per chapter, in the chapters' order; a volume may also be
    // given once for all of them. An empty entry keeps what the folder's
    // name says.
    const QStringList chapterNumbers = given.chapter ? given.chapter->split(u',') : QStringList();
    QStringList volumeNumbers = given.volume ? given.volume->split(u',') : QStringList();
    if (volumeNumbers.size() == 1)
        volumeNumbers = QStringList(found.size(), volumeNumbers.first());
    for (const auto &[option, numbers] : {std::pair{QStringLiteral("--chapter"), chapterNumbers},
                                          std::pair{QStringLiteral("--volume"), volumeNumbers}}) {
        if (!numbers.isEmpty() && numbers.size() != found.size())
            return CliSupport::fail(QStringLiteral("%1 lists %2 numbers for the %3 chapters of this zip")
                                        .arg(option)
                                        .arg(numbers.size())
                                        .arg(found.size()));
    }
    IEFileNameParser parser;
    parser.parseString(found.first().baseName);
    const QString title = given.title.value_or(parser.bookTitle()).trimmed();
    const QString source = given.source.value_or(parser.source()).trimmed();
    if (title.isEmpty())
        return CliSupport::fail(localized("Fill in the manga title"));
    if (source.isEmpty())
        return CliSupport::fail(localized("Fill in a source"));

    for (int index = 0; index < found.size(); ++index) {
        IEImportChapter chapter = found[index];
        IEFileNameParser names;
        names.parseString(chapter.baseName);
        const auto givenOr = [index](const QStringList &numbers, const Decimal &parsed) {
            const QString text = numbers.isEmpty() ? QString() : numbers[index].trimmed();
            return !text.isEmpty() ? text : parsed.isNaN() ? QString() : parsed.toString();
        };
        const QString chapterText = givenOr(chapterNumbers, names.chapterNumber());
        const QString volumeText = givenOr(volumeNumbers, names.volumeNumber());
        if (chapterText.isEmpty())
            return CliSupport::fail(localized("Fill in a chapter number") + QStringLiteral(" (") +
                                    chapter.baseName + u')');
        const Decimal number = Decimal::fromString(chapterText);
        if (number.isNaN())
            return CliSupport::fail(localized("Chapter must be a number"));
        const Decimal volume = Decimal::fromString(volumeText);
        chapter.number = IEDBImporter::adjustedNumberFromChapterNumber(number, volume);
        chapter.title = IEDBImporter::titleFromChapterNumber(number, volume);

        bool succeeded = false;
        auto operation = std::make_shared<IEDBImporterOperation>(
            title, source, chapter, [](IEDBImporterOperation &) {},
            [&](IEDBImporterOperation &) { succeeded = true; });
        session.run(operation);
        if (!succeeded)
            return CliSupport::fail(
                withArguments(QStringLiteral("Error: %@"),
                              {operation->error() ? operation->error()->localizedDescription() : QString()}));
        CliSupport::printLine(
            QStringLiteral("%1\t%2\t%3 pages").arg(title, chapter.title).arg(chapter.pages.size()));
    }
    CliSupport::printLine(
        withArguments(localized("Imported %@.\nLook in the Library."), {QFileInfo(unzippedPath).fileName()}));
    return 0;
}

int importZip(const QStringList &arguments)
{
    QStringList args = arguments;
    CliSession session(args, CliSession::HomeTree | CliSession::Confirmations);
    QString error;
    Given given;
    given.title = CliSupport::takeValue(args, QStringLiteral("--title"), &error);
    given.source = CliSupport::takeValue(args, QStringLiteral("--source"), &error);
    given.chapter = CliSupport::takeValue(args, QStringLiteral("--chapter"), &error);
    given.volume = CliSupport::takeValue(args, QStringLiteral("--volume"), &error);
    if (!error.isEmpty() || args.size() != 1 || !CliSupport::unknownOptions(args).isEmpty())
        return CliSupport::fail(QLatin1String(usage), 2);
    const QString zip = QFileInfo(args.first()).absoluteFilePath();
    if (!QFileInfo(zip).isFile())
        return CliSupport::fail(QStringLiteral("No file %1").arg(zip));
    if (QFileInfo(zip).suffix() != u"zip")
        return CliSupport::fail(withArguments(localized("%@. Must be a zip file ending in .zip"), {zip}));
    if (const auto status = session.open())
        return *status;
    if (IsDownloading())
        return CliSupport::fail(localized("Not while downloading"));

    QList<IEImportChapter> chapters;
    QString unzippedPath;
    int status = unpack(session, zip, &chapters, &unzippedPath);
    if (status == 0)
        status = importChapters(session, chapters, unzippedPath, given);
    // The unpacked files are scratch, whatever happened.
    FilesRemover::removeFilesAtPath(MyDirectories::sharedMyDirectories().temporaryDirectory(), QString(),
                                    true);
    return status;
}

const CliCommand::Registrar
    registrar({QStringLiteral("import"),
               QStringLiteral("import ZIP [--title T --source S --chapter N[,N...] --volume V[,V...]] "
                              "[--root DIR]  import a zip of chapter folders"),
               importZip});

} // namespace
