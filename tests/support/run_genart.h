#pragma once

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace genart::testing {

struct Outcome {
    int status = -1;
    QString errors;
};

// Runs the built genart program in `folder` and waits for it.
inline Outcome runGenart(const QStringList& arguments, const QString& folder,
                         const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessEnvironment(environment);
    process.start(QString::fromUtf8(GENART_BINARY), arguments);
    process.waitForFinished(-1);
    const bool normal = process.exitStatus() == QProcess::NormalExit;
    return {normal ? process.exitCode() : -1, QString::fromUtf8(process.readAllStandardError())};
}

inline QImage loadRgb(const QString& path)
{
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}

inline QStringList filesIn(const QString& folder)
{
    QStringList files = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    files.sort();
    return files;
}

} // namespace genart::testing
