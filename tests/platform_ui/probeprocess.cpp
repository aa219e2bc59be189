#include "probeprocess.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

ProbeResult RunProbe(const std::vector<std::string>& arguments,
                     const std::vector<std::pair<std::string, std::string>>& environment) {
    QProcess process;
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : environment) {
        variables.insert(QString::fromStdString(name), QString::fromStdString(value));
    }
    process.setProcessEnvironment(variables);
    QStringList list;
    for (const std::string& argument : arguments) {
        list << QString::fromStdString(argument);
    }
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/platformprobe"), list);
    ProbeResult result;
    if (!process.waitForStarted()) {
        return result;
    }
    // A probe that hangs is stopped after a minute rather than hanging the test.
    for (int turn = 0; turn < 6000 && !process.waitForFinished(10); ++turn) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.crashed = process.exitStatus() == QProcess::CrashExit;
    result.exitCode = process.exitCode();
    result.output = process.readAllStandardOutput().toStdString();
    return result;
}
