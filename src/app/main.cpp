#include <cstdio>
#include <memory>

#include <QApplication>

#include "app/AppOptions.h"
#include "app/MangaAppDelegate.h"
#include "ui/kit/MessageBoxAlerts.h"

int main(int argc, char **argv)
{
    // Options first, so a mistake is reported even where no display is.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (arguments.contains(u"--help") || arguments.contains(u"-h")) {
        std::printf("%s", qPrintable(AppOptions::usage()));
        return 0;
    }
    QString error;
    const std::optional<AppOptions> options = AppOptions::parse(arguments, &error);
    if (!options) {
        std::fprintf(stderr, "%s", qPrintable(error));
        return 2;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Yomora"));
    MangaAppDelegate delegate(*options);
    delegate.applicationDidFinishLaunching();
    Alerts::install(std::make_shared<MessageBoxAlerts>(delegate.window()));
    delegate.window()->show();
    return QApplication::exec();
}
