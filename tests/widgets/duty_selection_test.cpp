// The duty-record corrections in the real program: a correction command of the main
// window opens the record selection list, the clerk chooses a sent duty record, and
// the window of that record's kind (the excise summary by the company's profile) opens
// in the command's mode showing the record's values.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "app/taskwindows.h"
#include "core/files/text1252.h"
#include "core/tables/company.h"
#include "core/tables/dates.h"
#include "logic/window_fixtures.h"
#include "qt/duty/dutydialogs.h"
#include "qt/movements/recordselectiondialog.h"
#include "qt/shell/mainwindow.h"
#include "qt/shell/shell.h"
#include "register_builder.h"
#include "widgets/modal_windows.h"

namespace accise {
namespace {

using namespace accise::testing;

const int kYear = yearOf(todayDayNumber()); // the year the selection list opens on

// What the duty window showed when it opened.
struct Opened {
    std::string window, title;
    std::map<std::string, std::string> values;
    std::map<std::string, bool> readOnly;
};

class DutyRecordFromSelection : public ::testing::Test {
protected:
    DutyRecordFromSelection() {
        writeOfficeTable(work.folders);
        writeApplConfig(work.folders, {"/opt/fv/FirmaVerifica", "/a/", "/b/", "/c/"});
        writeWebConfig(work.folders, {"seed", "uffici", "accise", "edi", "emcs", "prova", "emcs-prova", ""});
        setProfile("ALCODA");
        const std::string year = std::to_string(kYear);
        Movement credit = dutyRecord("D", year, "03");
        credit.QTAKG = 150;
        credit.ETTOGR = 120;
        credit.UFFDOG = "IT012000";
        credit.ANNOTA = "credito di marzo";
        Movement summary = dutyRecord("E", year, "02");
        summary.QTAKG = 500;
        summary.ETTOGR = 100;
        summary.QTALIT = 20;
        summary.VALAUX = 380;
        Movement correction = dutyRecord("R", year, "01");
        correction.QTAKG = 33;
        correction.ETTOGR = 3.3;
        for (Movement* m : {&credit, &summary, &correction}) {
            m->DATMOV = dayNumber(kYear, 1, 16);
            m->NUMFLU = 1; // sent: only sent records are corrected
            addDutyRecord(work.folders.dutyFile(kYear), *m);
        }
        registerTaskWindows(shell);
    }
    void setProfile(const char* profile) {
        AddressRecord c = blankAddress();
        c.auth_type = "1";
        c.postcode2 = profile;
        writeCompany(work.folders, c);
    }

    // Runs the menu command, chooses in the selection list the row whose kind column
    // starts with `kind`, and reads the window that opens; it is then abandoned.
    Opened open(const char* action, const char* kind) {
        Opened seen;
        bool listed = false;
        whenShown<RecordSelectionDialog>([&](RecordSelectionDialog& list) {
            QTreeView* rows = list.list();
            for (int i = 0; i < rows->model()->rowCount(); ++i)
                for (int c = 0; c < rows->model()->columnCount(); ++c)
                    if (list.cellText(i, c).startsWith(kind)) {
                        rows->setCurrentIndex(rows->model()->index(i, 0));
                        listed = true;
                    }
            QTest::keyClick(rows, listed ? Qt::Key_Return : Qt::Key_Escape);
        });
        whenShown<DutyDialog>([&](DutyDialog& window) {
            seen.window = window.metaObject()->className();
            seen.title = window.windowTitle().toStdString();
            for (QLineEdit* field : window.findChildren<QLineEdit*>()) {
                if (field->isHidden()) continue;
                seen.values[field->objectName().toStdString()] = field->text().toStdString();
                seen.readOnly[field->objectName().toStdString()] = field->isReadOnly();
            }
            window.reject();
        });
        // A window that never shows must not hang the test.
        QTimer::singleShot(10000, [] {
            if (QWidget* stuck = QApplication::activeModalWidget()) stuck->close();
        });
        shell.window().commandAction(action)->trigger();
        EXPECT_TRUE(listed) << kind;
        return seen;
    }

    WorkingFolder work;
    RecordingPrompt prompt;
    Shell shell{work.folders, prompt};
};

TEST_F(DutyRecordFromSelection, EachKindOpensItsWindowInTheCommandsMode) {
    const std::string year = std::to_string(kYear);
    struct Case {
        const char* profile;
        const char* action; // "Action4": cancel (mode T); "ARETTGAR": modify (mode t)
        const char* kind;   // the start of the kind column
        const char* tiprec;
        const char* window;
        const char* title;
        std::map<std::string, std::string> values;
        const char* amountField; // editable only when modifying
        bool amountReadOnly;
    };
    const Case cases[] = {
        {"ALCODA", "Action4", "CREDITI", "D", "accise::CreditsDialog", "RETTIFICA: cancella crediti inviati",
         {{"ANNPRO", year}, {"CODPAE", "03"}, {"DATMOV", "16/01/" + year}, {"CODUFF", "IT012000"},
          {"DOUBL1", "150,00"}, {"DOUBL2", "120,00"}, {"ANNOTA", ""}}, // a correction's own note
         "DOUBL1", true},
        {"ALCODA", "ARETTGAR", "ACCISE", "E", "accise::ExciseSummaryPeriodDialog",
         "RETTIFICA: modifica i dati del riepilogo accisa inviato",
         {{"ANNPRO", year}, {"CODPAE", "02"}, {"DOUBL1", "500,00"}, {"DOUBL2", "100,00"}, {"DOUBL3", "20,00"},
          {"DOUBL4", "380,00"}},
         "DOUBL1", false},
        {"ALCODA", "Action4", "RAVVEDIMENTO", "R", "accise::VoluntaryCorrectionDialog",
         "RETTIFICA: cancella ravvedimento inviato",
         {{"ANNPRO", year}, {"CODPAE", "01"}, {"DOUBL1", "33,00"}, {"DOUBL2", "3,30"}}, "DOUBL2", true},
        // The registered consignee's summary is kept by day.
        {"ALCOPP", "Action4", "ACCISE", "E", "accise::ExciseSummaryDayDialog", "RETTIFICA: cancella riepilogo accisa inviato",
         {{"DATMOV", "16/01/" + year}, {"DOUBL1", "500,00"}}, "DOUBL1", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.action) + " " + c.kind + " " + c.profile);
        setProfile(c.profile);
        const Opened seen = open(c.action, c.kind);
        EXPECT_EQ(seen.window, c.window);
        EXPECT_EQ(seen.title, c.title);
        for (const auto& [control, text] : c.values) {
            ASSERT_TRUE(seen.values.count(control)) << control;
            EXPECT_EQ(seen.values.at(control), text) << control;
        }
        ASSERT_TRUE(seen.readOnly.count(c.amountField));
        EXPECT_EQ(seen.readOnly.at(c.amountField), c.amountReadOnly);
        EXPECT_FALSE(seen.readOnly.at("ANNOTA")); // every correction takes its note
        EXPECT_EQ(trimmed(shell.context().selectedRecord.TIPREC), c.tiprec); // the record chosen
    }
    EXPECT_TRUE(prompt.messages.empty()) << prompt.messages.front();
    // Abandoned windows write nothing.
    EXPECT_EQ(readMovements(work.folders.dutyFile(kYear)).size(), 3u);
}

} // namespace
} // namespace accise
