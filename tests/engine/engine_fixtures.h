#pragma once

#include "engine/calculation_run.h"
#include "engine/solver_functions.h"

#include "database/record_writer.h"

#include "../common/reaction_fields_fixture.h"
#include "common/text_file.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace norvanta::testing {

using namespace Qt::StringLiterals;

// One record of a compound data file: atom counts C, H, O and the Gibbs
// energies of formation at 300, 400, ..., 1000 K in kcal/mol.
struct Compound {
    QString name;
    std::array<double, 3> atoms;
    std::array<double, 8> gibbs;
};

// The gases of the usual test reactions, with rounded textbook values.
inline std::vector<Compound> gasCompounds()
{
    return {
        {u"CO2"_s, {1, 0, 2}, {-94.26, -94.32, -94.39, -94.45, -94.50, -94.55, -94.59, -94.62}},
        {u"CH4"_s, {1, 4, 0}, {-12.07, -10.00, -7.80, -5.49, -3.10, -0.65, 1.83, 4.33}},
        {u"CO"_s, {1, 0, 1}, {-32.84, -35.01, -37.19, -39.36, -41.53, -43.67, -45.83, -47.94}},
        {u"H2"_s, {0, 2, 0}, {0, 0, 0, 0, 0, 0, 0, 0}},
        {u"H2O"_s, {0, 2, 1}, {-54.60, -53.52, -52.36, -51.16, -49.92, -48.65, -47.35, -46.04}},
        {u"CH3OH"_s, {1, 4, 1}, {-38.7, -35.6, -32.3, -29.0, -25.6, -22.2, -18.8, -15.4}},
        {u"O2"_s, {0, 0, 2}, {0, 0, 0, 0, 0, 0, 0, 0}},
    };
}

// Norvane.dat text: a genre header, a comment and the records, CR LF.
inline QString databaseText(const std::vector<Compound>& compounds,
                            const QStringList& extraLines = {})
{
    QString text = u";*無機ガス\r\n;データは丸めた値\r\n"_s;
    for (const Compound& c : compounds)
        text += compoundRecordLine(c.name, c.atoms, c.gibbs);
    for (const QString& line : extraLines)
        text += line + u"\r\n"_s;
    return text;
}

// A fresh start folder holding the files a run reads.
class RunFolder {
public:
    QString path() const { return dir_.path(); }
    QString databasePath() const { return dir_.filePath(u"Norvane.dat"_s); }
    QString libraryPath() const { return dir_.filePath(u"Norvane.dll"_s); }

    QString writeDatabase(const QString& text) const
    {
        writeShiftJisFile(databasePath(), text);
        return databasePath();
    }

    void writeTextAsLibrary() const
    {
        QFile file(libraryPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("This is not a library.\r\n");
    }

private:
    QTemporaryDir dir_;
};

// A solver that records every call. Interp answers the straight line of
// Norvane.dll, or, in tagging mode, 100 + the number of the call, so that a
// test can tell which call produced a value. CalCv answers 0.5.
class ScriptedSolver : public SolverFunctions {
public:
    struct InterpCall {
        float t1;
        double g1;
        float t2;
        double g2;
        float t;
        double result;
    };

    explicit ScriptedSolver(bool tagging = false) : tagging_(tagging) {}

    double calCv(double kp, double, std::int32_t reactantCount, std::int32_t productCount,
                 const std::array<double, 4>& reactantCoef, const std::array<double, 4>&,
                 const std::array<double, 4>& productCoef, double tolerance) override
    {
        kps.push_back(kp);
        lastCounts = {reactantCount, productCount};
        lastReactantCoef = reactantCoef;
        lastProductCoef = productCoef;
        lastTolerance = tolerance;
        return 0.5;
    }

    double interp(float t1, double g1, float t2, double g2, float t) override
    {
        const double s = (g1 - g2) / (t1 - t2);
        const double result = tagging_ ? 100.0 + double(interpCalls.size()) : g1 + s * (t - t1);
        interpCalls.push_back({t1, g1, t2, g2, t, result});
        return result;
    }

    std::vector<double> kps;
    std::vector<InterpCall> interpCalls;
    std::array<int, 2> lastCounts{};
    std::array<double, 4> lastReactantCoef{};
    std::array<double, 4> lastProductCoef{};
    double lastTolerance = 0;

private:
    bool tagging_;
};

// Records what the run asked of the window, in order.
class RecordingHost : public RunHost {
public:
    void prepareRun() override { events.append(u"prepare"_s); }
    void showProgress(int value) override
    {
        progress.push_back(value);
        events.append(u"progress "_s + QString::number(value));
    }
    void showFields(const ReactionFields& fields) override
    {
        shownFields.push_back(fields);
        events.append(u"fields"_s);
    }
    void drawNumberRow(int row, const ResultPoint& kelvin, const ResultPoint& celsius) override
    {
        rows.push_back({row, kelvin, celsius});
        events.append(u"row "_s + QString::number(row));
    }
    void setResultsCaption(const QString& caption) override
    {
        events.append(u"caption "_s + caption);
    }
    void finishRun() override { events.append(u"finish"_s); }
    void stopRun() override { events.append(u"stop"_s); }

    struct DrawnRow {
        int row;
        ResultPoint kelvin, celsius;
    };
    QStringList events;
    std::vector<int> progress;
    std::vector<ReactionFields> shownFields;
    std::vector<DrawnRow> rows;
};

// The state a window keeps for its runs, with a run over it.
struct RunBench {
    RunBench(const RunFolder& folder, ReactionFields initial, SolverFunctions& solver,
             double kpFactor = 1000 / 1.987216)
        : fields(std::move(initial)),
          run(RunSettings{folder.databasePath(), folder.path(), kpFactor}, fields, definition,
              results, solver, host)
    {
    }

    TickResult runToEnd(bool tetraPrecision)
    {
        run.start(tetraPrecision);
        return run.runToEnd();
    }

    ReactionFields fields;
    ReactionDefinition definition;
    ResultTable results;
    RecordingHost host;
    CalculationRun run;
};

// Where a point's dG comes from: the database at its own temperature, or the
// straight line through the kelvin dG at `from` and `to`, taken at `at` K.
struct DgSource {
    bool database = false;
    int from = 0, to = 0, at = 0;
};

// The table of dG sources of both series, point i = 0..32.
inline DgSource expectedDgSource(bool kelvinSeries, int i)
{
    const int row = i / 4;
    if (kelvinSeries) {
        const int kelvin = 300 + 25 * i;
        if (i % 4 == 0 && i <= 28)
            return {true, 0, 0, kelvin};
        if (i == 32)
            return {false, 900, 1000, 1100};
        if (i >= 29)
            return {false, 1000, 1100, kelvin};
        return {false, 300 + 100 * row, 400 + 100 * row, kelvin};
    }
    const int kelvin = 273 + 25 * i;
    if (i == 0)
        return {false, 300, 400, 273};
    if (i == 32)
        return {false, 900, 1000, 1073};
    if (i % 4 == 0)
        return {false, 200 + 100 * row, 300 + 100 * row, kelvin};
    if (i >= 29)
        return {false, 1000, 1100, kelvin};
    return {false, 300 + 100 * row, 400 + 100 * row, kelvin};
}

} // namespace norvanta::testing
