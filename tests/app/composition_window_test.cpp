// The equilibrium-composition window opened from the main window's menu: it
// shows what the engine computes for the reactants typed, copies the engine's
// text, and stops at the run's own warnings.
#include "calculation_fixture.h"

#include "app/composition_command.h"
#include "database/compound_index.h"
#include "composition/gibbs_equilibrium.h"
#include "results/composition_form.h"
#include "results/composition_graph.h"

#include "common/number_format.h"

#include <QTableWidget>

#include <algorithm>
#include <cmath>
#include <map>

namespace norvanta::testing {
namespace {

using namespace Qt::StringLiterals;

class CompositionWindowTest : public CalculationTest {
protected:
    // Steam reforming, CH4 : H2O = 1 : 3 at 1 atm, no products or limiting compound.
    void typeSteamReforming()
    {
        typeOver(form.React[0], u"CH4"_s);
        typeOver(form.Molar[0], u"1"_s);
        typeOver(form.React[1], u"H2O"_s);
        typeOver(form.Molar[1], u"3"_s);
        typeOver(form.Pressure, u"1"_s);
    }

    CompositionForm* openFromMenu()
    {
        EXPECT_TRUE(form.CompositionItem->isEnabled());
        form.CompositionItem->trigger();
        return form.findChild<CompositionCommand*>()->form();
    }

    // The engine's own answer for the same feed, read from the same file.
    CompositionTable engineTable()
    {
        CompositionRequest request;
        request.feedNames = {u"CH4"_s, u"H2O"_s};
        request.feedMoles = {1, 3};
        request.tetraPrecision = settings.TetraPrecision != 0;
        const CompositionSystem system =
            compositionSystem(request, CompoundIndex::load(path("Norvane.dat")));
        return compositionTable(system, app.constants());
    }
};

TEST_F(CompositionWindowTest, ShowsCopiesAndWarnsAsTheEngineAndTheRunSay)
{
    typeSteamReforming();
    CompositionForm* window = openFromMenu();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isModal());
    EXPECT_EQ(window->windowTitle(), u"平衡組成"_s);
    EXPECT_TRUE(platform.messages.empty());

    // The number table: every species in rows, the °C series in columns.
    const CompositionTable expected = engineTable();
    QTableWidget* table = window->NumberTable;
    ASSERT_EQ(table->rowCount(), expected.species.size());
    ASSERT_EQ(table->columnCount(), int(expected.celsius.size()));
    for (int row = 0; row < table->rowCount(); ++row) {
        SCOPED_TRACE(expected.species[row].toStdString());
        EXPECT_EQ(table->verticalHeaderItem(row)->text(), expected.species[row]);
        for (int column = 0; column < table->columnCount(); ++column) {
            const double x = expected.celsius[size_t(column)].moleFractions[size_t(row)];
            EXPECT_EQ(table->item(row, column)->text(), formatFixed(x, u"0.00E+00"));
        }
    }

    // The graph labels a line for exactly the species that reach 1e-3.
    QStringList labels;
    for (const CanvasOperation& op :
         test::operationsOf(window->GraphArea->picture(), test::Kind::Text))
        labels << op.text;
    int drawn = 0;
    for (int s = 0; s < expected.species.size(); ++s) {
        const bool reaches = std::any_of(
            expected.celsius.begin(), expected.celsius.end(),
            [s](const CompositionPoint& p) { return p.moleFractions[size_t(s)] >= 1e-3; });
        drawn += reaches ? 1 : 0;
        EXPECT_EQ(labels.contains(expected.species[s]), reaches)
            << expected.species[s].toStdString();
    }
    EXPECT_GE(drawn, 4); // CH4, H2O, H2 and CO2 at least

    platform.answerNext(MessageAnswer::Ok);
    QTest::mouseClick(window->CopyButton, Qt::LeftButton);
    EXPECT_EQ(platform.clipboardText, compositionText(expected, u"\r\n"_s));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, u"クリップボードに数値データをコピーしました"_s);

    // Graphite adds its row below the gases.
    QTest::mouseClick(window->GraphiteCheck, Qt::LeftButton);
    EXPECT_EQ(table->rowCount(), expected.species.size() + 1);
    EXPECT_EQ(table->verticalHeaderItem(table->rowCount() - 1)->text(), u"C(gr)"_s);
    EXPECT_EQ(window->table()->graphite, true);

    // The temperature column of the results window's table switches this
    // window to Kelvin too.
    QTest::mouseClick(results.NumberArea, Qt::LeftButton, {}, QPoint(20, 20));
    ASSERT_EQ(table->columnCount(), int(expected.kelvin.size()));
    EXPECT_EQ(table->horizontalHeaderItem(0)->text(), u"300 K"_s);

    // Bad fields get the run's warnings; the shown composition stays.
    struct BadField {
        QLineEdit* box;
        QString text;
        QString message;
    };
    const BadField cases[] = {
        {form.React[1], u"H2Oo"_s, u"反応系(No.2)はファイルに登録されていません"_s},
        {form.Molar[1], QString(), u"分圧(比)を入力してください"_s},
        {form.Pressure, u"0"_s, u"全圧を正しく入力してください"_s},
    };
    for (const BadField& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        showActive(form);
        typeSteamReforming();
        typeOver(c.box, c.text);
        if (c.text.isEmpty())
            QTest::keyClick(c.box, Qt::Key_Delete);
        platform.messages.clear();
        platform.answerNext(MessageAnswer::Ok);
        form.CompositionItem->trigger();
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0], exclamation(u"Norvanta"_s, c.message));
        EXPECT_EQ(table->rowCount(), expected.species.size() + 1);
    }
}

// A table made by hand: two equal major species whose labels would fall on
// one another, a trace species that stays out of the graph, one that rises
// from below the logarithmic axis, and graphite up to `graphiteMost`.
CompositionTable handMadeTable(double graphiteMost)
{
    CompositionTable table;
    table.species = {u"A"_s, u"B"_s, u"Trace"_s, u"Rising"_s};
    table.graphite = true;
    for (int k = 0; k <= 8; ++k) {
        const double rising = 2e-3 * std::pow(10.0, k - 8.0); // 2e-11 .. 2e-3
        table.celsius.push_back({273.15 + 100 * k,
                                 {0.5 - rising / 2, 0.5 - rising / 2, 1e-4, rising},
                                 graphiteMost * k / 8});
    }
    return table;
}

TEST(CompositionGraph, KeepsLinesInTheBoxAndLabelsApart)
{
    struct Case {
        bool logarithmic;
        double graphiteMost;
    };
    for (const Case c : {Case{true, 0.3}, Case{true, 2.5}, Case{false, 0.3}, Case{false, 2.5}}) {
        SCOPED_TRACE(::testing::Message() << c.logarithmic << " " << c.graphiteMost);
        const CompositionTable table = handMadeTable(c.graphiteMost);
        const GraphPlacement placement = compositionPlacement();
        RecordingCanvas canvas;
        DrawCompositionGraph(canvas, {table, TemperatureUnit::Celsius, c.logarithmic}, placement);

        // Every point of every line lies in the box: a value below the
        // logarithmic axis breaks its line, graphite beyond 1 widens the axis.
        for (const CanvasOperation& op : test::operationsOf(canvas, test::Kind::LineTo)) {
            if (op.to.x() > placement.x0 + placement.width)
                continue; // a label's leader into the margin
            EXPECT_GE(op.to.y(), placement.y0 - 1e-9);
            EXPECT_LE(op.to.y(), placement.y0 + placement.height + 1e-9);
        }

        std::map<QString, QPointF> labels;
        for (const CanvasOperation& op : test::operationsOf(canvas, test::Kind::Text))
            labels[op.text] = op.from;
        EXPECT_FALSE(labels.contains(u"Trace"_s));
        ASSERT_TRUE(labels.contains(u"A"_s));
        ASSERT_TRUE(labels.contains(u"B"_s));
        EXPECT_TRUE(labels.contains(u"C(gr)"_s));
        EXPECT_TRUE(labels.contains(u"Rising"_s));
        EXPECT_GE(std::abs(labels[u"A"_s].y() - labels[u"B"_s].y()), canvas.lineHeight());
    }
}

} // namespace
} // namespace norvanta::testing
