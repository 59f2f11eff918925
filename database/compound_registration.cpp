#include "compound_registration.h"

#include "common/failure.h"
#include "common/input_text.h"
#include "common/number_text.h"
#include "common/platform.h"
#include "common/text_file.h"
#include "compound_index.h"
#include "data_file_lock.h"
#include "record_writer.h"

#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace norvanta {

namespace {

// A dG box's value as the file stores it: in kcal/mol.
double storedGibbs(const RegistrationEntry& entry, int i, double calToJ)
{
    const double value = leadingValue(entry.gibbs[i]);
    return entry.kilojoules ? value / calToJ : value;
}

// A value the file can hold: finite, and still finite once written to 15
// digits (1.7976931348623157e308 is written 1.79769313486232E+308, which
// reads back as infinity).
bool storableNumber(double value)
{
    return std::isfinite(value) && std::isfinite(leadingValue(blankSignedNumberText(value)));
}

// The box whose number overflows a double, if any, before or after the
// kJ -> kcal conversion or as the file writes it; its text would read back
// as no number at all.
std::optional<EntryFocus> overflowingBox(const RegistrationEntry& entry, double calToJ)
{
    for (int i = 0; i < 3; ++i) {
        if (!storableNumber(leadingValue(entry.atomCounts[i])))
            return EntryFocus{EntryBox::Number, i};
    }
    for (int i = 0; i < 8; ++i) {
        if (!storableNumber(storedGibbs(entry, i, calToJ)))
            return EntryFocus{EntryBox::DeltaG, i};
    }
    return std::nullopt;
}

QString recordLineOf(const RegistrationEntry& entry, double calToJ)
{
    std::array<double, 3> atoms{};
    for (int i = 0; i < 3; ++i)
        atoms[i] = leadingValue(entry.atomCounts[i]);
    std::array<double, 8> gibbs{};
    for (int i = 0; i < 8; ++i)
        gibbs[i] = storedGibbs(entry, i, calToJ);
    return compoundRecordLine(entry.name, atoms, gibbs);
}

RegistrationOutcome refuse(Platform& platform, const QString& text, EntryFocus focus)
{
    showMessage(platform, text, MessageIcon::Exclamation);
    return {false, focus};
}

} // namespace

std::optional<QString> unstorableNameMessage(const QString& name)
{
    for (const QChar c : name) {
        if (c == u'"' || c.category() == QChar::Other_Control)
            return u"化学式･慣用名に「\"」や改行などの制御文字は使えません"_s;
    }
    if (name.startsWith(u';'))
        return u"化学式･慣用名を「;」で始めることはできません"_s;
    if (canStoreInShiftJis(name))
        return std::nullopt;
    const QString character = firstCharacterOutsideShiftJis(name);
    if (!character.isEmpty())
        return u"化学式･慣用名の「"_s + character + u"」はデータファイルに書き込めない文字です"_s;
    // Every character alone is storable, yet not the name as a whole.
    return u"化学式･慣用名にデータファイルに書き込めない文字があります"_s;
}

QString dataFileFailureMessage(int failureCode, DataFileAccess access)
{
    if (failureCode == FailureCode::FileNotFound || failureCode == FailureCode::PathNotFound)
        return u"化合物データファイル(Norvane.dat)が見つかりません"_s;
    if (access == DataFileAccess::Reading)
        return u"化合物データファイル(Norvane.dat)を読み込めません"_s;
    return u"化合物データファイル(Norvane.dat)に書き込みができません。"
           u"書き込みが禁止されていないか、ディスク容量が十分あるか確認してください。"_s;
}

RegistrationOutcome registerCompound(Platform& platform, const QString& databasePath,
                                     const RegistrationEntry& typed, double calToJ)
{
    // Registered as the calculation will look it up: "ＣＨ４" is CH4.
    RegistrationEntry entry = typed;
    entry.name = inputText(typed.name);
    for (QString& count : entry.atomCounts)
        count = inputText(count);
    for (QString& gibbs : entry.gibbs)
        gibbs = inputText(gibbs);
    if (entry.name.isEmpty())
        return {};
    for (const QString& gibbs : entry.gibbs) {
        if (gibbs.isEmpty())
            return refuse(platform, u"全てのdGを入力してください"_s, {EntryBox::DeltaG, 0});
    }
    if (const std::optional<QString> message = unstorableNameMessage(entry.name))
        return refuse(platform, *message, {EntryBox::NewFormula, 0});
    if (const std::optional<EntryFocus> box = overflowingBox(entry, calToJ))
        return refuse(platform, u"数値が大きすぎるため登録できません"_s, *box);

    const QString unit = entry.kilojoules ? u"kJ/mol"_s : u"kcal/mol"_s;
    if (!askYesNo(platform, u"Norvanta"_s,
                  entry.name + u"を"_s + unit + u"の単位で登録しますか？"_s))
        return {};

    // The duplicate test and the append under one lock, so that a second
    // running copy can neither register the name meanwhile nor write over the
    // record. The lock is let go before any message is shown.
    // The path is resolved once, through a chain of links, so that the lock,
    // the duplicate test and the append all meet the same file.
    const QString dataFile = DataFileLock::resolvedPath(databasePath);
    std::optional<DataFileLock> lock;
    std::optional<QString> stored;
    try {
        lock.emplace(dataFile);
        stored = CompoundIndex::load(dataFile).duplicateOf(entry.name);
    } catch (const LockWaitAbandoned&) {
        return {}; // the program is ending: nothing is written, nothing shown
    } catch (const Failure& failure) {
        lock.reset();
        return refuse(platform, dataFileFailureMessage(failure.code(), DataFileAccess::Reading),
                      {});
    }
    if (stored) {
        lock.reset();
        return refuse(platform, *stored + u"はデータファイルに既に登録されています"_s,
                      {EntryBox::NewFormula, 0});
    }

    try {
        appendCompoundRecord(dataFile, recordLineOf(entry, calToJ));
    } catch (const Failure& failure) {
        lock.reset();
        return refuse(platform, dataFileFailureMessage(failure.code(), DataFileAccess::Appending),
                      {});
    }
    return {true, {}};
}

} // namespace norvanta
