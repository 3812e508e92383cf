#pragma once

#include <csignal>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace genart::testing {

// A desktop session of the test's own: a home folder, and the services it starts (a D-Bus
// session bus, an X server) stopped again when it goes. Its variables are set in this process
// too, so code under test in the process finds the same bus and display.
class PrivateSession {
public:
    PrivateSession()
    {
        for (const char* folder : {"config", "data", "cache", "run"})
            QDir(home.path()).mkpath(QString::fromLatin1(folder));
        QFile::setPermissions(path("run"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        set("HOME", home.path());
        set("XDG_CONFIG_HOME", path("config"));
        set("XDG_DATA_HOME", path("data"));
        set("XDG_CACHE_HOME", path("cache"));
        set("XDG_RUNTIME_DIR", path("run"));
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_CURRENT_DESKTOP", "XDG_SESSION_TYPE", "SWAYSOCK",
                                 "DBUS_SESSION_BUS_ADDRESS", "XSCREENSAVER_WINDOW", "QT_QPA_PLATFORM"})
            unset(name);
    }

    ~PrivateSession()
    {
        // GLib ends a process whose session bus goes away with SIGTERM, and code under test in
        // this process (dconf) may hold a connection to the bus stopped here.
        if (bus_.state() != QProcess::NotRunning)
            std::signal(SIGTERM, SIG_IGN);
        for (QProcess* service : {&x_, &bus_}) {
            service->terminate();
            if (!service->waitForFinished(5000))
                service->kill();
            service->waitForFinished(5000);
        }
    }

    QString path(const char* name) const { return QDir(home.path()).filePath(QString::fromLatin1(name)); }

    void set(const char* name, const QString& value)
    {
        environment.insert(QString::fromLatin1(name), value);
        qputenv(name, value.toUtf8());
    }
    void unset(const char* name)
    {
        environment.remove(QString::fromLatin1(name));
        qunsetenv(name);
    }

    // A session bus; false when dbus-daemon could not start.
    bool startBus()
    {
        const QString address = startService(bus_, QStringLiteral("dbus-daemon"),
                                             {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                              QStringLiteral("--print-address=1")});
        if (address.isEmpty())
            return false;
        set("DBUS_SESSION_BUS_ADDRESS", address);
        return true;
    }

    // An X server with one screen of `width` by `height`; false when Xvfb could not start. It does
    // not reset when its last client leaves, as a desktop's server never does.
    bool startDisplay(int width, int height)
    {
        const QString number = startService(
            x_, QStringLiteral("Xvfb"),
            {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-noreset"), QStringLiteral("-nolisten"),
             QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
             QStringLiteral("%1x%2x24").arg(width).arg(height)});
        if (number.isEmpty())
            return false;
        set("DISPLAY", QLatin1Char(':') + number);
        return true;
    }

    struct Run {
        int status = -1;
        QString out;
        QString errors;
    };

    // Runs a program in the session and waits for it.
    Run run(const QString& program, const QStringList& arguments, int milliseconds = 120000) const
    {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(home.path());
        process.start(program, arguments);
        if (!process.waitForFinished(milliseconds))
            process.kill();
        process.waitForFinished();
        const bool normal = process.exitStatus() == QProcess::NormalExit;
        return {normal ? process.exitCode() : -1, QString::fromUtf8(process.readAllStandardOutput()).trimmed(),
                QString::fromUtf8(process.readAllStandardError())};
    }

    QString gsettings(const char* schema, const char* key) const
    {
        return run(QStringLiteral("gsettings"),
                   {QStringLiteral("get"), QString::fromLatin1(schema), QString::fromLatin1(key)})
            .out;
    }

    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();

private:
    // Starts a service that writes one line when ready (its address, its display); that line.
    QString startService(QProcess& process, const QString& program, const QStringList& arguments)
    {
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::SeparateChannels);
        process.setStandardErrorFile(QProcess::nullDevice());
        process.start(program, arguments);
        if (!process.waitForStarted(10000))
            return {};
        while (!process.canReadLine())
            if (!process.waitForReadyRead(10000))
                return {};
        return QString::fromUtf8(process.readLine()).trimmed();
    }

    QProcess bus_;
    QProcess x_;
};

} // namespace genart::testing
