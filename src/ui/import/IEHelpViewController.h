#pragma once

#include "ui/kit/ViewController.h"

class QAction;
class QTextBrowser;

// How zip import and export work, shown over the Import tab in a stack of
// its own; Done takes it away.
// Thread contract: main thread only.
class IEHelpViewController : public ViewController
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(IEHelpViewController)

public:
    // The page names `documentsPath` where it says where zips go.
    explicit IEHelpViewController(QString documentsPath, QWidget *parent = nullptr);

    QTextBrowser *webView() const { return webView_; }
    QAction *doneButton() const { return doneAction_; }

    // The page as shipped, with the folder filled in.
    static QString helpHtml(const QString &documentsPath);

protected:
    void viewDidLoad() override;

private:
    QString documentsPath_;
    QTextBrowser *webView_ = nullptr; // QObject children
    QAction *doneAction_ = nullptr;
};
