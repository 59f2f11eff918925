#pragma once

// Reading printed pages back with the PDF tools (poppler-utils), which the
// test command installs. Without them a developer's plain run skips the
// tests that need them; under CI (CI=true) their absence fails those tests.
#include <QProcess>
#include <QStandardPaths>
#include <QString>

#include <optional>

namespace norvanta::testing {

inline bool runningUnderCi()
{
    return qEnvironmentVariable("CI") == QStringLiteral("true");
}

// Why the PDF tools cannot be used, or nothing when they can.
inline std::optional<QString> missingPdfTools()
{
    for (const char* tool : {"pdfinfo", "pdftotext"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            return QStringLiteral("%1 is not installed (scripts/test.sh installs poppler-utils)")
                .arg(QString::fromLatin1(tool));
    }
    return std::nullopt;
}

// What the tool prints for the file; empty when it fails.
inline QString pdfToolOutput(const char* tool, const QStringList& arguments)
{
    QProcess process;
    process.start(QString::fromLatin1(tool), arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline QString pdfInfo(const QString& path)
{
    return pdfToolOutput("pdfinfo", {path});
}

// The page's text in its layout, lines as they stand on the page.
inline QString pdfText(const QString& path)
{
    return pdfToolOutput("pdftotext", {QStringLiteral("-layout"), path, QStringLiteral("-")});
}

} // namespace norvanta::testing

// Skips the test for a developer without the set-up; fails it under CI.
#define NORVANTA_REQUIRE(reason)                                                                   \
    if (const std::optional<QString> missing = (reason)) {                                         \
        if (::norvanta::testing::runningUnderCi())                                                 \
            FAIL() << missing->toStdString();                                                      \
        GTEST_SKIP() << missing->toStdString();                                                    \
    }
