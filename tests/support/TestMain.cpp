// The main of every test program: a QGuiApplication (a QApplication for the
// gui tests, which link Qt Widgets) on the offscreen platform (unless
// the test's environment names another), and fresh, private settings and
// runtime folders so that no test touches the user's real ones.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#ifdef QT_WIDGETS_LIB
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

#include <cstdlib>
#include <memory>

int main(int argc, char* argv[])
{
    ::testing::InitGoogleTest(&argc, argv);

    // Listing the tests needs no application (InitGoogleTest has taken the
    // flag out of argv already).
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();

    QTemporaryDir config(QDir::tempPath() + QStringLiteral("/tolva-test-config-XXXXXX"));
    QTemporaryDir runtime(QDir::tempPath() + QStringLiteral("/tolva-test-runtime-XXXXXX"));
    if (!config.isValid() || !runtime.isValid())
        return 3;
    QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    setenv("XDG_CONFIG_HOME", config.path().toLocal8Bit().constData(), 1);
    setenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit().constData(), 1);
    setenv("HOME", config.path().toLocal8Bit().constData(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("LC_ALL", "C", 0);

    TestApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
