#include <cstdio>
#include <memory>

#include <QApplication>
#include <QIcon>

#include "app/AppOptions.h"
#include "app/AppWindow.h"
#include "app/MangaAppDelegate.h"
#include "app/QuitSignals.h"
#include "app/SingleInstance.h"
#include "files/MyDirectories.h"
#include "sites/SiteConfig.h"
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
    // Site overrides apply to the whole process, before anything fetches.
    if (const std::optional<QString> siteError = SiteConfig::takeSiteOptions(arguments)) {
        std::fprintf(stderr, "%s\n%s", qPrintable(*siteError), qPrintable(AppOptions::usage()));
        return 2;
    }
    QString error;
    const std::optional<AppOptions> options = AppOptions::parse(arguments, &error);
    if (!options) {
        std::fprintf(stderr, "%s", qPrintable(error));
        return 2;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Yomora"));
    // Lets the desktop match the window to its launcher entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.yomora.Yomora"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/desktop/org.yomora.Yomora.svg")));

    // A second start on the same home tree gives its arguments to the window
    // already open and ends there, before it touches the tree.
    MyDirectories::setRootDirectory(options->root);
    SingleInstance instance(
        SingleInstance::serverNameFor(MyDirectories::sharedMyDirectories().homeDirectory()));
    if (SingleInstance::handOver(instance.serverName(), arguments.mid(1)))
        return 0;
    // Listening before the slow part of the start-up narrows the time in which
    // a second start would find the tree locked and nobody to hand over to.
    instance.listen();

    QuitSignals::install(&app);
    // Shown over whichever window is active; before the window exists that
    // is none, which a fatal start-up alert needs.
    Alerts::install(std::make_shared<MessageBoxAlerts>());

    MangaAppDelegate delegate(*options);
    QObject::connect(&instance, &SingleInstance::argumentsReceived, &delegate,
                     &MangaAppDelegate::handleOpenArguments);
    // A store that cannot be opened leaves only its fatal alert, whose
    // button ends the program.
    if (delegate.applicationDidFinishLaunching()) {
        delegate.window()->show();
        if (!options->openBookTitle.isEmpty() &&
            !delegate.openChapterNamed(options->openBookTitle, options->openChapterNumber))
            return 1;
    }
    return QApplication::exec();
}
