// The equilibrium-composition window opened from the main window's menu: it
// shows what the engine computes for the reactants typed, copies the engine's
// text, and stops at the run's own warnings.
#include "calculation_fixture.h"

#include "app/composition_command.h"
#include "composition/gibbs_equilibrium.h"
#include "database/compound_index.h"
#include "results/composition_form.h"
#include "results/composition_graph.h"

#include "common/number_format.h"
#include "common/text_file.h"
#include "common/twips.h"
#include "files/user_store.h"
#include "support/pdf_tools.h"
#include "support/test_files.h"

#include <QLabel>
#include <QFile>
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

    // The number table: the species reaching the cut-off 1E-06 in rows, most
    // abundant first, the others counted; the °C series in columns.
    const CompositionTable expected = engineTable();
    QTableWidget* table = window->NumberTable;
    ASSERT_EQ(table->columnCount(), int(expected.celsius.size()));
    const auto largest = [&](int s) {
        double most = 0;
        for (const CompositionPoint& p : expected.celsius)
            most = std::max(most, p.moleFractions[size_t(s)]);
        return most;
    };
    // Below the species: the conversions of CH4 and H2O, and H2/CO.
    const int gasRows = table->rowCount() - 3;
    EXPECT_EQ(table->verticalHeaderItem(gasRows)->text(), u"転化率(%):CH4"_s);
    EXPECT_EQ(table->verticalHeaderItem(gasRows + 2)->text(), u"H2/CO"_s);
    double previous = 1;
    for (int row = 0; row < gasRows; ++row) {
        const int s = int(expected.species.indexOf(table->verticalHeaderItem(row)->text()));
        ASSERT_GE(s, 0);
        SCOPED_TRACE(expected.species[s].toStdString());
        EXPECT_GE(largest(s), 1e-6);
        EXPECT_LE(largest(s), previous);
        previous = largest(s);
        for (int column = 0; column < table->columnCount(); ++column) {
            const double x = expected.celsius[size_t(column)].moleFractions[size_t(s)];
            EXPECT_EQ(table->item(row, column)->text(), formatFixed(x, u"0.00E+00"));
        }
    }
    const int hidden = int(expected.species.size()) - gasRows;
    EXPECT_GT(hidden, 0);
    EXPECT_EQ(window->HiddenLabel->text(), u"非表示 %1 種"_s.arg(hidden));

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
    EXPECT_EQ(platform.clipboardText, compositionText(expected, u"\r\n"_s, {false, true}));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, u"クリップボードに数値データをコピーしました"_s);

    // Graphite adds its row below the gases.
    QTest::mouseClick(window->GraphiteCheck, Qt::LeftButton);
    EXPECT_EQ(table->rowCount(), gasRows + 4);
    EXPECT_EQ(table->verticalHeaderItem(gasRows)->text(), u"C(gr)"_s);
    EXPECT_EQ(window->shown()->table.graphite, true);

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
        EXPECT_EQ(table->rowCount(), gasRows + 4);
    }
}

// Options, following the main window, saving, printing and placement, as a
// user meets them; the numbers are the engine's and are not checked here.
TEST_F(CompositionWindowTest, FollowsOptionsAndInputSavesPrintsAndKeepsItsPlace)
{
    // The polynomial file beside Norvane.dat, for the adiabatic equilibrium.
    ASSERT_TRUE(QFile::copy(QStringLiteral(NORVANTA_SOURCE_DIR "/data/NorvaneThermo.dat"),
                            path("NorvaneThermo.dat")));
    typeSteamReforming();
    form.move(300, 200);
    CompositionForm* window = openFromMenu();
    ASSERT_NE(window, nullptr);
    // Centred on the main window the first time.
    EXPECT_LE((window->frameGeometry().center() - form.frameGeometry().center()).manhattanLength(),
              2);

    // Range, pressures, cut-off and dry basis: the heading names the
    // pressures, the table has a column per point of each pressure, and
    // every species is listed or counted (water not on a dry basis).
    struct Options {
        QString range; // from, to, step in K
        QString pressures;
        QString cutoff;
        bool dry;
        QString feedKelvin; // adiabatic from this feed temperature; empty: not
        QString heading;
        int columns;
    };
    const QString feed = u"原料 CH4:H2O=1:3　全圧 "_s;
    const int defaultPoints = int(engineTable().celsius.size());
    const Options options[] = {
        {QString(), QString(), u"1E-06"_s, false, {}, feed + u"1 atm"_s, defaultPoints},
        {QString(), u"1, 10, 30"_s, u"1E-06"_s, false, {}, feed + u"1, 10, 30 atm"_s,
         3 * defaultPoints},
        {QString(), u"1, 10"_s, u"1E-06"_s, false, u"1200"_s,
         feed + u"1, 10 atm　断熱 (原料 1200 K)"_s, 2},
        {u"300 1000 100"_s, u"2  0.5"_s, u"0.01"_s, true, {}, feed + u"2, 0.5 atm"_s, 2 * 8},
    };
    const int species = int(window->shown()->table.species.size());
    for (const Options& o : options) {
        SCOPED_TRACE(o.heading.toStdString());
        const QStringList range = o.range.split(u' ');
        for (int k = 0; k < 3; ++k) {
            QLineEdit* box = std::array{window->FromBox, window->ToBox, window->StepBox}[size_t(k)];
            box->setText(range.value(k));
        }
        typeOver(window->PressureBox, o.pressures);
        typeOver(window->CutoffBox, o.cutoff);
        if (window->DryCheck->isChecked() != o.dry)
            QTest::mouseClick(window->DryCheck, Qt::LeftButton);
        if (window->AdiabaticCheck->isChecked() != !o.feedKelvin.isEmpty())
            QTest::mouseClick(window->AdiabaticCheck, Qt::LeftButton);
        if (!o.feedKelvin.isEmpty())
            typeOver(window->FeedTemperatureBox, o.feedKelvin);
        QTest::mouseClick(window->CalButton, Qt::LeftButton);
        EXPECT_EQ(window->HeadingLabel->text(), o.heading);
        EXPECT_EQ(window->NumberTable->columnCount(), o.columns);
        const ListedSpecies listed = window->listed();
        // Below the species, the conversions of CH4 and H2O and the H2/CO ratio.
        EXPECT_EQ(window->NumberTable->rowCount(), int(listed.shown.size()) + 3);
        if (o.feedKelvin.isEmpty())
            EXPECT_EQ(int(listed.shown.size()) + listed.hidden, species);
        else // the reformer cools itself: each pressure's point below its feed
            for (const CompositionSeries& series : window->shown()->table.series)
                EXPECT_LT(series.points.at(0).kelvin, 1200);
        EXPECT_EQ(window->HiddenLabel->text(), u"非表示 %1 種"_s.arg(listed.hidden));
        EXPECT_EQ(window->NumberTable->verticalHeaderItem(0)->text() == u"H2O"_s, !o.dry);
    }
    // A cut-off that is no number is refused, and the last one comes back.
    typeOver(window->CutoffBox, u"abc"_s);
    platform.answerNext(MessageAnswer::Ok);
    QTest::keyClick(window->CutoffBox, Qt::Key_Return);
    EXPECT_EQ(platform.messageTexts(), QStringList{u"表示の下限には0以上の数を入力してください"_s});
    EXPECT_EQ(window->CutoffBox->text(), u"0.01"_s);
    platform.messages.clear();
    // A pressure that is no number is refused; the composition stays.
    typeOver(window->PressureBox, u"1, x"_s);
    platform.answerNext(MessageAnswer::Ok);
    QTest::keyClick(window->PressureBox, Qt::Key_Return);
    EXPECT_EQ(platform.messageTexts(), QStringList{u"全圧を正しく入力してください"_s});
    EXPECT_EQ(window->HeadingLabel->text(), options[3].heading);
    platform.messages.clear();
    window->PressureBox->clear();
    for (QLineEdit* box : {window->FromBox, window->ToBox, window->StepBox})
        box->clear();
    QTest::mouseClick(window->DryCheck, Qt::LeftButton);
    QTest::mouseClick(window->CalButton, Qt::LeftButton);

    // The main window's input changes: at once the window says it shows the
    // older input; then it follows, or keeps saying so with the reason.
    const QString older = u"主画面の入力が変わりました。表示は前の入力による結果です。"_s;
    struct Edit {
        QString secondReactant;
        QString heading;
        QString notice;
    };
    const Edit edits[] = {
        {u"CO2"_s, u"原料 CH4:CO2=1:3　全圧 1 atm"_s, QString()},
        {u"H2Oo"_s, u"原料 CH4:CO2=1:3　全圧 1 atm"_s,
         older + u" (反応系(No.2)はファイルに登録されていません)"_s},
    };
    showActive(form);
    for (const Edit& e : edits) {
        SCOPED_TRACE(e.secondReactant.toStdString());
        typeOver(form.React[1], e.secondReactant);
        EXPECT_TRUE(window->showsOlderInput());
        EXPECT_TRUE(window->NoticeLabel->text().startsWith(older));
        EXPECT_TRUE(window->InputTimer->isActive());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window->InputTimer->isActive(); }, 5000));
        EXPECT_EQ(window->HeadingLabel->text(), e.heading);
        EXPECT_EQ(window->NoticeLabel->text(), e.notice);
    }
    EXPECT_TRUE(platform.messages.empty());
    typeOver(form.React[1], u"CO2"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->showsOlderInput(); }, 5000));
    // The step option too: 25 K and 100 K steps differ in their points.
    const int columns = window->NumberTable->columnCount();
    QTest::mouseClick(form.TetraPrec, Qt::LeftButton);
    EXPECT_TRUE(window->showsOlderInput());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->showsOlderInput(); }, 5000));
    EXPECT_NE(window->NumberTable->columnCount(), columns);

    // 保存: the --composition text, or the same table as CSV, in Shift_JIS.
    const QString text = window->compositionFileText();
    ASSERT_TRUE(text.startsWith(u"系列\t温度(K)\t"_s));
    for (const QString name : {u"table.txt"_s, u"table.csv"_s}) {
        platform.chooseInSaveDialog(FileChoice{folder.filePath(name), name});
        QTest::mouseClick(window->SaveButton, Qt::LeftButton);
        const QString saved = decodeShiftJis(readBytes(folder.filePath(name)));
        if (name.endsWith(u".txt"_s)) {
            EXPECT_EQ(saved, text);
            continue;
        }
        // No field of this table holds a comma or a quote, so none is quoted.
        ASSERT_FALSE(text.contains(u',') || text.contains(u'"'));
        QString back = saved;
        EXPECT_EQ(back.replace(u',', u'\t'), text);
    }
    EXPECT_EQ(platform.saveRequests.back().title, u"名前を付けて組成ファイルを保存"_s);

    // 画像の保存: PNG or SVG, by the name's extension.
    const std::pair<QString, QByteArray> pictures[] = {{u"graph.png"_s, "\x89PNG"},
                                                       {u"graph.svg"_s, "<?xml"}};
    for (const auto& [name, start] : pictures) {
        platform.chooseInSaveDialog(FileChoice{folder.filePath(name), name});
        QTest::mouseClick(window->SavePictureButton, Qt::LeftButton);
        EXPECT_TRUE(readBytes(folder.filePath(name)).startsWith(start)) << name.toStdString();
    }
    EXPECT_TRUE(readBytes(path("graph.svg")).contains("<svg"));
    EXPECT_TRUE(platform.messages.empty());

    // 印刷 to "PDFファイル": one page with the title and the heading.
    platform.printer = u"PDFファイル"_s;
    platform.answerNext(MessageAnswer::Yes);
    platform.chooseInSaveDialog(FileChoice{path("composition.pdf"), u"composition.pdf"_s});
    QTest::mouseClick(window->PrintButton, Qt::LeftButton);
    ASSERT_EQ(platform.messageTexts(),
              QStringList{u"平衡組成をPDFファイルにカラー印刷しますか？"_s});
    EXPECT_TRUE(readBytes(path("composition.pdf")).startsWith("%PDF-"));
    if (!missingPdfTools()) {
        EXPECT_TRUE(
            pdfInfo(path("composition.pdf")).contains(QRegularExpression(u"Pages: +1\n"_s)));
        const QString page = pdfText(path("composition.pdf"));
        EXPECT_TRUE(page.contains(u"平衡組成の計算結果"_s));
        EXPECT_TRUE(page.contains(u"CH4:CO2=1:3"_s));
    }

    // Closed somewhere else, it comes back there, and the place is stored
    // for the next run.
    window->move(window->pos() + QPoint(40, 30));
    const QPoint place = window->frameGeometry().topLeft();
    QTest::mouseClick(window->ExitButton, Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
    const StoredEdges stored = readCompositionEdges(platform);
    ASSERT_TRUE(stored.left && stored.top);
    EXPECT_EQ(twipsToPixels(*stored.left, window->logicalDpiX()), place.x());
    EXPECT_EQ(twipsToPixels(*stored.top, window->logicalDpiY()), place.y());
    form.CompositionItem->trigger();
    EXPECT_EQ(window->frameGeometry().topLeft(), place);
}

// A composition made by hand: two equal major species whose labels would
// fall on one another, a trace species that stays out of the graph, one that
// rises from below the logarithmic axis, one that falls to the axis' bottom
// at the last point, where the last temperature label stands, and graphite
// up to `graphiteMost`; at one pressure or at two.
CompositionView handMadeView(double graphiteMost, int pressures)
{
    CompositionView view;
    view.species = {u"A"_s, u"B"_s, u"Trace"_s, u"Rising"_s, u"Falling"_s};
    view.condensed = {u"C(gr)"_s};
    for (int p = 1; p <= pressures; ++p) {
        ShownSeries series{10.0 * p, {}};
        for (int k = 0; k <= 8; ++k) {
            const double rising = 2e-3 * std::pow(10.0, k - 8.0);       // 2e-11 .. 2e-3
            const double falling = 1e-2 * std::pow(10.0, -k / 2.0) / p; // 1e-2 .. 1e-6
            CompositionPoint point;
            point.kelvin = 273.15 + 100 * k;
            point.moleFractions = {0.5 - rising / 2, 0.5 - rising / 2, 1e-4, rising, falling};
            point.condensedMoles = {graphiteMost * k / 8};
            series.points.push_back(point);
        }
        view.series.push_back(series);
    }
    return view;
}

TEST(CompositionGraph, KeepsLinesInTheBoxAndTextsApart)
{
    struct Case {
        bool logarithmic;
        double graphiteMost;
        int pressures;
    };
    for (const Case c : {Case{true, 0.3, 1}, Case{true, 2.5, 1}, Case{false, 0.3, 1},
                         Case{false, 2.5, 2}, Case{true, 0.3, 3}}) {
        SCOPED_TRACE(::testing::Message()
                     << c.logarithmic << " " << c.graphiteMost << " " << c.pressures);
        const CompositionView view = handMadeView(c.graphiteMost, c.pressures);
        const GraphPlacement placement = compositionPlacement();
        RecordingCanvas canvas;
        DrawCompositionGraph(canvas, {view, c.logarithmic}, placement);

        // Every point of every line lies in the box: a value below the
        // logarithmic axis breaks its line, graphite beyond 1 widens the axis.
        for (const test::Kind kind : {test::Kind::LineTo, test::Kind::Line}) {
            for (const CanvasOperation& op : test::operationsOf(canvas, kind)) {
                if (op.to.x() > placement.x0 + placement.width || op.to.y() < placement.y0 - 1)
                    continue; // a label's leader into the margin, the legend above the box
                EXPECT_GE(op.to.y(), placement.y0 - 1e-9);
                EXPECT_LE(op.to.y(), placement.y0 + placement.height + 1e-9);
            }
        }

        // No text overprints another: labels, ticks, titles and legend.
        const std::vector<CanvasOperation> texts = test::operationsOf(canvas, test::Kind::Text);
        for (size_t a = 0; a < texts.size(); ++a) {
            for (size_t b = a + 1; b < texts.size(); ++b) {
                const QRectF boxA(texts[a].from, QSizeF(canvas.textWidth(texts[a].text.trimmed()),
                                                        canvas.lineHeight()));
                const QRectF boxB(texts[b].from, QSizeF(canvas.textWidth(texts[b].text.trimmed()),
                                                        canvas.lineHeight()));
                EXPECT_FALSE(boxA.intersects(boxB))
                    << texts[a].text.toStdString() << " / " << texts[b].text.toStdString();
            }
        }

        QStringList labels;
        for (const CanvasOperation& op : texts)
            labels << op.text;
        EXPECT_FALSE(labels.contains(u"Trace"_s));
        for (const QString& label : {u"A"_s, u"B"_s, u"C(gr)"_s, u"Rising"_s, u"Falling"_s})
            EXPECT_EQ(labels.count(label), 1) << label.toStdString();
        // Several pressures: each named once in the legend.
        for (int p = 1; p <= c.pressures; ++p)
            EXPECT_EQ(labels.count(u"%1 atm"_s.arg(10 * p)), c.pressures > 1 ? 1 : 0);
    }
}

} // namespace
} // namespace norvanta::testing
