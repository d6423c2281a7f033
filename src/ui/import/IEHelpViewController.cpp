#include "ui/import/IEHelpViewController.h"

#include <QAction>
#include <QFile>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

#include "foundation/Localized.h"
#include "ui/kit/NavigationItem.h"

// Outside any namespace, as the resource macro needs.
static void initHelpResources()
{
    // The page lives in a static library: nothing would pull it in.
    static const bool done = [] {
        Q_INIT_RESOURCE(help);
        return true;
    }();
    Q_UNUSED(done);
}

IEHelpViewController::IEHelpViewController(QString documentsPath, QWidget *parent)
    : ViewController(parent), documentsPath_(std::move(documentsPath))
{
    setTitle(localized("Help"));
}

QString IEHelpViewController::helpHtml(const QString &documentsPath)
{
    initHelpResources();
    QFile file(QStringLiteral(":/help/import_export_help_free.html"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll())
        .replace(QStringLiteral("$DOCUMENTS"), documentsPath.toHtmlEscaped());
}

void IEHelpViewController::viewDidLoad()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    webView_ = new QTextBrowser(this);
    webView_->setFrameShape(QFrame::NoFrame);
    webView_->document()->setDocumentMargin(12);
    // Links lead out of the page only through the desktop, never inside it.
    webView_->setOpenLinks(false);
    webView_->setHtml(helpHtml(documentsPath_));
    layout->addWidget(webView_);

    doneAction_ = new QAction(localized("Done"), this);
    connect(doneAction_, &QAction::triggered, this, [this] { dismissModalViewController(); });
    navigationItem()->setLeftBarButtonItem(doneAction_);
}
