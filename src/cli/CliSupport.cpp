#include "cli/CliSupport.h"

#include <cstdio>

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

QString pageText(const QByteArray &bytes)
{
    QString text = PageTextFetcher::decodeUtf8(bytes);
    if (text.isEmpty())
        text = PageTextFetcher::decodeAscii(bytes);
    if (text.isEmpty())
        text = PageTextFetcher::decodeDetected(bytes);
    return text;
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
