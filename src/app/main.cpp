#include <QApplication>
#include <QLabel>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Yomora"));
    label.resize(320, 480);
    label.show();
    return app.exec();
}
