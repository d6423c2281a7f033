// The main() of every engine test program: a QCoreApplication supplies the
// main thread's event loop that hand-overs and notifications need.
// Test programs of screens define their own main() with a QApplication.
#include <gmock/gmock.h>

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
