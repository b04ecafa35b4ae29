// Test main: a QApplication for the suites that touch Qt (offscreen in CI).
#include "platform/Application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    TApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Quillora"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
