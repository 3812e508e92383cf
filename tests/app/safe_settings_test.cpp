// The window's settings read safely: a FIFO where the settings file belongs, a settings folder
// that cannot be written, and relative XDG folders.
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <future>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/safe_settings.h"

namespace genart {
namespace {

// The window's names and a configuration folder of the test's own, put back afterwards.
class SafeSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        QCoreApplication::setOrganizationName(QStringLiteral("Orvanik"));
        QCoreApplication::setApplicationName(QStringLiteral("genart"));
        setConfigFolder(config.path());
    }
    void TearDown() override
    {
        ::unsetenv("XDG_CONFIG_HOME");
        for (const QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope})
            QSettings::setPath(QSettings::NativeFormat, scope, QStringLiteral("/nonexistent"));
    }
    static void setConfigFolder(const QString& folder)
    {
        ::setenv("XDG_CONFIG_HOME", folder.toLocal8Bit().constData(), 1);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    }

    QTemporaryDir config;
    std::ostringstream warnings;
};

TEST_F(SafeSettings, AFifoForTheSettingsFileIsNeverOpened)
{
    ASSERT_TRUE(QDir(config.path()).mkpath(QStringLiteral("Orvanik")));
    const std::string fifo = config.filePath(QStringLiteral("Orvanik/genart.conf")).toStdString();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0); // nobody will ever write to it
    useSettingsSafely(warnings);
    EXPECT_EQ(warnings.str(), "genart: the settings file " + fifo
                                  + " is not a regular file; this run starts from the default settings and keeps none\n");

    // What a save dialog does: read its choices, remember new ones. Were the FIFO opened, this
    // would wait for a writer for good; it is given one after a while so that the test ends.
    auto dialog = std::async(std::launch::async, [] {
        QSettings settings;
        const QString size = settings.value(QStringLiteral("save/size"), QStringLiteral("1x")).toString();
        settings.setValue(QStringLiteral("save/size"), QStringLiteral("4x"));
        settings.sync();
        return size;
    });
    if (dialog.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        ::close(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
        FAIL() << "the settings FIFO was opened";
    }
    EXPECT_EQ(dialog.get(), "1x");
    struct stat status {};
    ASSERT_EQ(::lstat(fifo.c_str(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode)) << "the FIFO was replaced";
}

TEST_F(SafeSettings, AFolderThatCannotBeWrittenIsSaidAndAGoodOneIsNot)
{
    useSettingsSafely(warnings);
    EXPECT_EQ(warnings.str(), "");
    EXPECT_TRUE(QDir(config.filePath(QStringLiteral("Orvanik"))).exists());

    setConfigFolder(QStringLiteral("/dev/null/config"));
    useSettingsSafely(warnings);
    EXPECT_EQ(warnings.str(), "genart: the settings folder /dev/null/config/Orvanik cannot be written (it cannot be "
                              "made); the dialogs will not remember their choices\n");
}

TEST(XdgFolders, RelativeOnesAreIgnored)
{
    ::setenv("XDG_DATA_HOME", "relative/data", 1);
    ::setenv("XDG_CACHE_HOME", "/absolute/cache", 1);
    ::setenv("XDG_CONFIG_DIRS", "etc:/etc/xdg::./more:/opt/xdg", 1);
    ::setenv("XDG_DATA_DIRS", "share", 1);
    ignoreRelativeXdgFolders();
    EXPECT_EQ(std::getenv("XDG_DATA_HOME"), nullptr);
    EXPECT_STREQ(std::getenv("XDG_CACHE_HOME"), "/absolute/cache");
    EXPECT_STREQ(std::getenv("XDG_CONFIG_DIRS"), "/etc/xdg:/opt/xdg");
    EXPECT_EQ(std::getenv("XDG_DATA_DIRS"), nullptr);
    EXPECT_TRUE(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                    .startsWith(QDir::homePath() + QStringLiteral("/.local/share")));
    for (const char* name : {"XDG_CACHE_HOME", "XDG_CONFIG_DIRS"})
        ::unsetenv(name);
}

} // namespace
} // namespace genart
