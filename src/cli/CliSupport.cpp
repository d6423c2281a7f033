#include "cli/CliSupport.h"

#include <cstdio>

#include <QFile>

#include "catalogue/SiteRegistry.h"
#include "cli/CliSession.h"
#include "sites/NavBaseChaptersFetcher.h"
#include "sites/SiteConfig.h"
#include "web/PageTextFetcher.h"

namespace CliSupport {

bool takeFlag(QStringList &args, const QString &flag)
{
    return args.removeAll(flag) > 0;
}

std::optional<QString> takeValue(QStringList &args, const QString &name, QString *error)
{
    std::optional<QString> value;
    const QString prefix = name + u'=';
    for (qsizetype i = 0; i < args.size();) {
        if (args[i] == name) {
            if (i + 1 >= args.size()) {
                if (error)
                    *error = name + QStringLiteral(" needs a value");
                args.removeAt(i);
                continue;
            }
            value = args[i + 1];
            args.remove(i, 2);
        } else if (args[i].startsWith(prefix)) {
            value = args[i].mid(prefix.size());
            args.removeAt(i);
        } else {
            ++i;
        }
    }
    return value;
}

std::optional<QString> takeSiteOptions(QStringList &args, QString *parserName)
{
    std::optional<QString> firstError;
    for (qsizetype i = 0; i < args.size();) {
        QString value;
        if (args[i] == u"--site" && i + 1 < args.size()) {
            value = args[i + 1];
            args.remove(i, 2);
        } else if (args[i].startsWith(u"--site=")) {
            value = args[i].mid(7);
            args.removeAt(i);
        } else {
            ++i;
            continue;
        }
        if (!value.contains(u'=')) {
            if (parserName)
                *parserName = value;
        } else if (auto error = SiteConfig::applySiteOption(value); error && !firstError) {
            firstError = error;
        }
    }
    return firstError;
}

std::optional<QString> readPage(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    return PageTextFetcher::decode(file.readAll());
}

int runChaptersFetcher(
    QStringList args, const char *usage,
    const std::function<std::shared_ptr<NavBaseChaptersFetcher>(const QString &)> &fetcherFor,
    const std::function<void(const NavBaseChaptersFetcher &, bool json)> &print)
{
    CliSession session(args, CliSession::SiteAddresses);
    if (const auto &error = session.optionError())
        return fail(*error, 2);
    const QString &siteName = session.siteName();
    const bool json = takeFlag(args, QStringLiteral("--json"));
    QString error;
    const auto file = takeValue(args, QStringLiteral("--file"), &error);
    if (!error.isEmpty())
        return fail(error, 2);
    if (!unknownOptions(args).isEmpty() || args.size() != (file ? 0 : 1) ||
        (file && !SiteConfig::siteForOptionName(siteName.toLower())) || (!file && !siteName.isEmpty()))
        return fail(QStringLiteral("usage: yomora-cli %1").arg(QLatin1String(usage)), 2);

    // A saved page needs only the site's word to choose its parser.
    const QString url = file ? QStringLiteral("http://www.%1.com/").arg(siteName.toLower()) : args.first();
    auto fetcher = fetcherFor(url);
    if (!fetcher)
        return fail(QStringLiteral("Cannot fetch chapters?"));
    if (file) {
        const auto text = readPage(*file, &error);
        if (!text)
            return fail(error);
        fetcher->readPage(*text);
    } else {
        session.run(fetcher);
    }
    if (fetcher->error())
        return fail(QStringLiteral("Trouble retrieving the chapters list: ") +
                    fetcher->error()->localizedDescription());
    print(*fetcher, json);
    return 0;
}

std::optional<QString> unreadableChapterAddress(const QString &url)
{
    if (SiteRegistry::deducerReads(url))
        return std::nullopt;
    QStringList sites;
    for (const SiteConfig::Site site : SiteRegistry::deducibleSites())
        sites << QStringLiteral("%1 (%2)").arg(SiteConfig::optionName(site), SiteConfig::baseURL(site));
    return QStringLiteral(
               "no site reads %1; the sites read are %2, or a mirror of one given with --site NAME=URL")
        .arg(url, sites.join(QStringLiteral(", ")));
}

QStringList unknownOptions(const QStringList &args)
{
    QStringList unknown;
    for (const QString &arg : args)
        if (arg.startsWith(u'-') && arg.size() > 1)
            unknown << arg;
    return unknown;
}

void printLine(const QString &line)
{
    const QByteArray bytes = line.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fputc('\n', stdout);
}

int fail(const QString &message, int status)
{
    std::fprintf(stderr, "yomora-cli: %s\n", message.toUtf8().constData());
    return status;
}

} // namespace CliSupport
