// Test entry point: a QGuiApplication exists for the whole run (sockets, processes and timers need an
// application object; the server's pictures and PDF documents need a painter, hence the GUI one on the
// offscreen platform — the binary still links no widgets).
#include <QGuiApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
