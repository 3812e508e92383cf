#include <QApplication>

#include <gtest/gtest.h>

// Tests draw text and show widgets without a display.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("GENART_MODULE_DIR"))
        qputenv("GENART_MODULE_DIR", GENART_BUILD_FOLDER);
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
