// The list of a search's records driven with the keyboard only: Ctrl+1..9 and F3 sort
// it by a column (the same key again the other way round) with the cursor kept on its
// record, and Enter on a row of the duty-record search opens that record in the window
// of its kind, read only, leaving the file as it was.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <ostream>

#include "core/files/recordfile.h"
#include "core/records/movement.h"
#include "core/tables/dates.h"
#include "logic/duty/dutywindow.h"
#include "logic/shell/windowregistry.h"
#include "logic/window_fixtures.h"
#include "qt/duty/dutydialog.h"
#include "qt/duty/dutywindows.h"
#include "qt/reportwindows/searchdialogs.h"
#include "qt/reportwindows/searchresultsview.h"
#include "widgets/modal_windows.h"

namespace accise {
namespace {

using testing::FakeServices;
using testing::RecordingPrompt;
using testing::WorkingFolder;
using testing::whenShown;

void show(QDialog& dialog) {
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
}

void typeInto(QLineEdit* field, const QString& text) {
    field->setFocus();
    field->home(false);
    field->end(true);
    QTest::keyClick(field, Qt::Key_Backspace);
    field->home(false);
    QTest::keyClicks(field, text);
}

// The texts of `column`, top to bottom.
QStringList columnTexts(const QAbstractItemModel* rows, int column) {
    QStringList texts;
    for (int r = 0; r < rows->rowCount(); ++r) texts << rows->index(r, column).data().toString();
    return texts;
}

TEST(SearchListKeys, CtrlDigitAndF3SortByAColumnAndKeepTheCursorOnItsRecord) {
    WorkingFolder work;
    CommandContext ctx = work.context();
    ctx.mode = 'S';
    RecordingPrompt prompt;
    FakeServices services;
    const auto unload = [](std::int32_t number, double day, const char* note) {
        Movement m = blankMovement();
        m.NUMREC = number;
        m.NUMOPE = 10 * (4 - number);
        m.TIPREC = "C";
        m.TIPOPE = "I";
        m.TIPMOV = "S";
        m.DATMOV = day;
        m.QTALIT = 100.0 * number;
        m.ANNOTA = note;
        return encodeMovement(m);
    };
    // File order: March, January, February; by note: febbraio, gennaio, marzo; by
    // operation number the other way round from the file.
    writeWholeFile(work.folders.registerFile(2025), unload(1, dayNumber(2025, 3, 15), "marzo") +
                                                        unload(2, dayNumber(2025, 1, 20), "gennaio") +
                                                        unload(3, dayNumber(2025, 2, 3), "febbraio"));
    RegisterSearchDialog dialog(ctx, prompt, services);
    show(dialog);
    typeInto(dialog.findChild<QLineEdit*>("MDADA"), "01012025");
    typeInto(dialog.findChild<QLineEdit*>("MDAAL"), "31122025");
    dialog.confirmButton()->setFocus();
    QTest::keyClick(dialog.confirmButton(), Qt::Key_Space);
    SearchResultsView* list = dialog.results();
    QAbstractItemModel* rows = list->model();
    ASSERT_EQ(rows->rowCount(), 3);
    constexpr int kDate = 2, kNote = 25;
    ASSERT_EQ(rows->headerData(kNote, Qt::Horizontal).toString(), "Note");
    QTest::keyClick(&dialog, Qt::Key_R, Qt::AltModifier);
    ASSERT_EQ(QApplication::focusWidget(), list);
    QHeaderView* header = list->horizontalHeader();
    EXPECT_EQ(header->sortIndicatorSection(), -1); // the print's order until a key sorts
    const auto cursorNote = [&] { return rows->index(list->currentIndex().row(), kNote).data().toString(); };
    EXPECT_EQ(cursorNote(), "marzo");

    struct Step {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int column;
        Qt::SortOrder order;
        QStringList notes; // top to bottom after the key
    };
    const Step steps[] = {
        {Qt::Key_3, Qt::ControlModifier, kDate, Qt::AscendingOrder, {"gennaio", "febbraio", "marzo"}},
        {Qt::Key_3, Qt::ControlModifier, kDate, Qt::DescendingOrder, {"marzo", "febbraio", "gennaio"}},
        {Qt::Key_3, Qt::ControlModifier, kDate, Qt::AscendingOrder, {"gennaio", "febbraio", "marzo"}},
        // F3 sorts by the cursor's column: End takes the cursor to the last one, the notes.
        {Qt::Key_F3, Qt::NoModifier, kNote, Qt::AscendingOrder, {"febbraio", "gennaio", "marzo"}},
        {Qt::Key_F3, Qt::NoModifier, kNote, Qt::DescendingOrder, {"marzo", "gennaio", "febbraio"}},
        // Another column starts ascending again; the keypad's digits count too.
        {Qt::Key_1, Qt::ControlModifier | Qt::KeypadModifier, 0, Qt::AscendingOrder, {"febbraio", "gennaio", "marzo"}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(QTest::toString(QKeySequence(step.key | step.modifiers)));
        if (step.key == Qt::Key_F3) {
            QTest::keyClick(list, Qt::Key_End);
            ASSERT_EQ(list->currentIndex().column(), kNote);
        }
        QTest::keyClick(list, step.key, step.modifiers);
        EXPECT_EQ(header->sortIndicatorSection(), step.column);
        EXPECT_EQ(header->sortIndicatorOrder(), step.order);
        EXPECT_EQ(columnTexts(rows, kNote), step.notes);
        EXPECT_EQ(cursorNote(), "marzo"); // the cursor followed its record
        EXPECT_EQ(list->currentIndex().column(), step.column);
        EXPECT_EQ(QApplication::focusWidget(), list);
    }
    // The keys are told where a clerk looks for them.
    EXPECT_TRUE(list->toolTip().contains("Ctrl+1") && list->toolTip().contains("F3"));
    EXPECT_TRUE(prompt.messages.empty());
    dialog.reject();
}

// The services of the program: windows opened by name run from the registry.
struct RegistryBackedServices : FakeServices {
    const WindowRegistry* registry = nullptr;
    bool openWindow(std::string_view name, CommandContext& c) override {
        FakeServices::openWindow(name, c);
        return registry->run(name, c);
    }
};

struct DutyCase {
    const char* tiprec;
    int kindChoice; // the search's radio item
    bool alcopp;
    const char* window; // objectName of the window that shows it
    const char* what;   // the title's end
    const char* amountField;
};

void PrintTo(const DutyCase& c, std::ostream* os) { *os << c.tiprec << " in " << c.window; }

class DutySearchEnter : public ::testing::TestWithParam<DutyCase> {};

TEST_P(DutySearchEnter, OpensTheRecordOfTheRowReadOnlyAndWritesNothing) {
    const DutyCase& c = GetParam();
    WorkingFolder work;
    testing::writeOfficeTable(work.folders);
    CommandContext ctx = work.context();
    ctx.mode = 'T';
    ctx.alcopp = c.alcopp;
    RecordingPrompt prompt;
    const auto record = [&](std::int32_t number, int month, double amount, const char* note) {
        Movement m = blankMovement();
        m.NUMREC = number;
        m.TIPREC = c.tiprec;
        m.TIPOPE = "I";
        m.STATO = " ";
        m.ANNPRO = "2025";
        m.CODPAE = (month < 10 ? "0" : "") + std::to_string(month);
        m.DATMOV = dayNumber(2025, month, 10);
        m.UFFDOG = "IT012000";
        m.NUMPRO = "PROT" + std::to_string(number);
        m.QTAKG = amount;
        m.MITDES = "1402";
        m.ANNOTA = note;
        return encodeMovement(m);
    };
    // Two records of the kind: the row chosen is the second, so a window that showed
    // the first (or the period's record found again by its number alone) is caught.
    const fs::path file = work.folders.dutyFile(2025);
    writeWholeFile(file, record(1, 3, 111.25, "marzo") + record(2, 5, 222.5, "maggio"));
    const std::string before = readRecords(file, 1, IfMissing::Empty).bytes();

    WindowRegistry registry;
    RegistryBackedServices windows;
    windows.registry = &registry;
    registerDutyWindows(registry, nullptr, prompt, windows);
    DutySearchDialog dialog(ctx, prompt, windows, c.kindChoice);
    show(dialog);
    ASSERT_TRUE(dialog.findChildren<QRadioButton*>()[c.kindChoice]->isChecked());
    typeInto(dialog.findChild<QLineEdit*>("MDADA"), "012025");
    typeInto(dialog.findChild<QLineEdit*>("MDAAL"), "22");
    dialog.confirmButton()->setFocus();
    QTest::keyClick(dialog.confirmButton(), Qt::Key_Space);
    SearchResultsView* list = dialog.results();
    ASSERT_EQ(list->model()->rowCount(), 2);
    QTest::keyClick(&dialog, Qt::Key_R, Qt::AltModifier);
    ASSERT_EQ(QApplication::focusWidget(), list);
    QTest::keyClick(list, Qt::Key_Down);

    QString name, title, note, amount, endOfWalk;
    bool confirmShown = true, escClosed = false;
    std::map<std::string, bool> editable;
    whenShown<DutyDialog>([&](DutyDialog& shown) {
        name = shown.objectName();
        title = shown.windowTitle();
        confirmShown = shown.findChild<QPushButton*>("BCONF")->isVisible();
        note = shown.findChild<QLineEdit*>("ANNOTA")->text();
        amount = shown.findChild<QLineEdit*>(c.amountField)->text();
        for (QLineEdit* field : shown.findChildren<QLineEdit*>())
            if (field->isVisible()) editable[field->objectName().toStdString()] = !field->isReadOnly();
        if (std::any_of(editable.begin(), editable.end(), [](const auto& f) { return f.second; })) {
            shown.reject(); // failed below; a walk over fields that take keys proves nothing
            return;
        }
        // The cursor walks every field with Tab, then with Enter from field to field
        // onto "Abbandona" (the hidden confirm button skipped): no check speaks, and
        // Esc closes without a question.
        // On a busy machine the window may not be active yet: the keys go to it.
        QApplication::setActiveWindow(&shown);
        for (int i = 0; i < 20; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        for (int i = 0; i < 20 && qobject_cast<QLineEdit*>(QApplication::focusWidget()); ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        endOfWalk = QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
        QTest::keyClick(&shown, Qt::Key_Escape);
        escClosed = !shown.isVisible();
        if (!escClosed) shown.reject(); // failed below, without leaving the test waiting
    });
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(name, c.window);
    EXPECT_EQ(title.toStdString(), std::string(duty::kViewTitle) + c.what);
    EXPECT_FALSE(confirmShown);
    EXPECT_EQ(endOfWalk.toStdString(), kAbandonControl);
    EXPECT_TRUE(escClosed);
    EXPECT_EQ(note, "maggio");
    EXPECT_EQ(amount.toStdString(), amountText(222.5));
    ASSERT_FALSE(editable.empty());
    for (const auto& [field, canType] : editable) EXPECT_FALSE(canType) << field;
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_TRUE(dialog.isVisible()); // back in the search, on the list (once active again)
    QApplication::setActiveWindow(&dialog);
    EXPECT_EQ(QApplication::focusWidget(), list);
    EXPECT_EQ(readRecords(file, 1, IfMissing::Empty).bytes(), before);
    dialog.reject();
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, DutySearchEnter,
    ::testing::Values(DutyCase{"D", 0, false, "TFCREDITI", "Crediti e riaccrediti", "DOUBL1"},
                      DutyCase{"E", 1, false, "TFACCISE_DA", "Riepilogo accisa", "DOUBL1"},
                      DutyCase{"E", 1, true, "TFACCISE_PP", "Riepilogo accisa", "DOUBL1"},
                      DutyCase{"R", 2, false, "TFRAVVEDIM", "Ravvedimento", "DOUBL1"}),
    [](const ::testing::TestParamInfo<DutyCase>& tested) {
        return std::string(tested.param.tiprec) + (tested.param.alcopp ? "_alcopp" : "");
    });

} // namespace
} // namespace accise
