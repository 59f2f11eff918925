#pragma once

// The whole norvanta-calc program timed on one saved reaction file, started
// in the staging folder as a user would start it there.
#include "files/reaction_file.h"

#include <QDateTime>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace norvanta::bench {

inline QString stageFolder()
{
    return QFileInfo(QStringLiteral(NORVANTA_SOLVER_PATH)).absolutePath();
}

inline void timeCalcProgram(benchmark::State& state, const ReactionFields& reaction,
                            QStringList options)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("reaction.txt"));
    if (saveReactionFile(path, reaction, QDateTime::currentDateTime())) {
        state.SkipWithError("the reaction file could not be written");
        return;
    }
    options.append(path);
    for (auto _ : state) {
        QProcess process;
        process.setWorkingDirectory(stageFolder());
        process.start(stageFolder() + QStringLiteral("/norvanta-calc"), options);
        if (!process.waitForFinished(60000) || process.exitCode() != 0) {
            state.SkipWithError("norvanta-calc did not finish");
            return;
        }
        benchmark::DoNotOptimize(process.readAllStandardOutput());
    }
}

} // namespace norvanta::bench
