#include "app/safe_settings.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "terminal_text/printable.h"

namespace genart {
namespace {

std::string shown(const QString& path)
{
    return printable(QFile::encodeName(path).toStdString());
}

// The first of the files QSettings would read that exists and is not a regular file: in each
// configuration folder, the application's file and the organisation's.
QString unsafeSettingsFile()
{
    const QString organisation = QCoreApplication::organizationName();
    const QString application = QCoreApplication::applicationName();
    for (const QString& folder : QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation)) {
        for (const QString& file : {QDir(folder).filePath(organisation + u'/' + application + QStringLiteral(".conf")),
                                    QDir(folder).filePath(organisation + QStringLiteral(".conf"))}) {
            struct stat status {};
            if (::stat(QFile::encodeName(file).constData(), &status) == 0 && !S_ISREG(status.st_mode))
                return file;
        }
    }
    return {};
}

// Why files cannot be created in `folder` ("" when they can), made if it is missing. An unnamed
// file tries it without leaving anything behind.
std::string cannotWriteIn(const QString& folder)
{
    if (!QDir().mkpath(folder))
        return "it cannot be made";
    const QByteArray path = QFile::encodeName(folder);
    const int fd = ::open(path.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::close(fd);
        return {};
    }
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
        return std::strerror(errno);
    return ::access(path.constData(), W_OK) == 0 ? std::string() : std::strerror(errno);
}

} // namespace

void useSettingsSafely(std::ostream& warnings)
{
    if (const QString unsafe = unsafeSettingsFile(); !unsafe.isEmpty()) {
        // Every scope points at an empty folder of this run's own, gone when the run ends.
        static const std::unique_ptr<QTemporaryDir> nowhere = std::make_unique<QTemporaryDir>();
        for (const QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope})
            QSettings::setPath(QSettings::NativeFormat, scope, nowhere->path());
        warnings << "genart: the settings file " << shown(unsafe)
                 << " is not a regular file; this run starts from the default settings and keeps none\n";
        return;
    }
    const QString folder = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
                               .filePath(QCoreApplication::organizationName());
    if (const std::string why = cannotWriteIn(folder); !why.empty())
        warnings << "genart: the settings folder " << shown(folder) << " cannot be written (" << printable(why)
                 << "); the dialogs will not remember their choices\n";
}

void ignoreRelativeXdgFolders()
{
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0' && *value != '/')
            ::unsetenv(name);
    }
    for (const char* name : {"XDG_DATA_DIRS", "XDG_CONFIG_DIRS"}) {
        const char* value = std::getenv(name);
        if (value == nullptr)
            continue;
        std::string kept;
        const std::string list = value;
        for (std::size_t start = 0; start <= list.size();) {
            const std::size_t end = std::min(list.find(':', start), list.size());
            if (end > start && list[start] == '/') {
                // Appended piece by piece: GCC 12's optimised build warns falsely (-Wrestrict)
                // about adding a literal to a string.
                if (!kept.empty())
                    kept += ':';
                kept += list.substr(start, end - start);
            }
            start = end + 1;
        }
        if (kept.empty())
            ::unsetenv(name);
        else if (kept != list)
            ::setenv(name, kept.c_str(), 1);
    }
}

} // namespace genart
