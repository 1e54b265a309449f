// Widgets need an application object; the tests run without a display, also
// when CMake lists them at build time. This main takes precedence over the
// one in gtest_main, which the linker then leaves out.

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
