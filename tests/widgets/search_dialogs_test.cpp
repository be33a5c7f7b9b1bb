// The search windows on screen: the masked dates typed into the real widgets, the
// confirm button's checks sending the cursor back, the file label and the file
// button, the kind's radio group, the report handed to the preview, and the list of
// the records found: sorted by a header, Enter opening the movement read only, the
// export to a file the clerk names.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "core/files/recordfile.h"
#include "core/records/movement.h"
#include "core/tables/dates.h"
#include "logic/window_fixtures.h"
#include "logic/shell/windowregistry.h"
#include "qt/movements/movemententrydialog.h"
#include "qt/reportwindows/searchdialogs.h"
#include "qt/reportwindows/searchresultsview.h"
#include "widgets/modal_windows.h"

namespace accise {
namespace {

using testing::FakeServices;
using testing::RecordingPrompt;
using testing::WorkingFolder;
using testing::whenShown;

struct SearchDialogs : ::testing::Test {
    WorkingFolder work;
    CommandContext ctx = work.context();
    RecordingPrompt prompt;
    FakeServices services;

    void show(QDialog& dialog) {
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }
    // Types into a masked field from its first position.
    static void typeInto(QLineEdit* field, const QString& text) {
        field->setFocus();
        field->home(false);
        field->end(true);
        QTest::keyClick(field, Qt::Key_Backspace);
        field->home(false);
        QTest::keyClicks(field, text);
    }
};

TEST_F(SearchDialogs, RegisterSearchChecksShowsTheFileLabelAndRuns) {
    ctx.mode = 'c';
    Movement sent = blankMovement();
    sent.TIPREC = "C";
    sent.TIPOPE = "I";
    sent.TIPMOV = "C";
    sent.DATMOV = dayNumber(2025, 12, 30);
    sent.DATFLU = dayNumber(2026, 1, 5);
    sent.NUMFLU = 1;
    writeWholeFile(work.folders.registerFile(2025), encodeMovement(sent));

    RegisterSearchDialog dialog(ctx, prompt, services);
    show(dialog);
    EXPECT_EQ(dialog.windowTitle(), "Ricerca movimenti di carico inviati");
    auto* from = dialog.findChild<QLineEdit*>("MDADA");
    auto* to = dialog.findChild<QLineEdit*>("MDAAL");
    auto* open = dialog.findChild<QPushButton*>("BAPRI");
    auto* label = dialog.findChild<QLabel*>("lfile");
    ASSERT_TRUE(from && to && open && label);
    EXPECT_EQ(QApplication::focusWidget(), from);
    EXPECT_FALSE(open->isVisible());
    // The code's three-line hint, then the lookup key.
    EXPECT_EQ(dialog.findChild<QLineEdit*>("MITDES")->toolTip().count('\n'), 3);
    EXPECT_TRUE(dialog.findChild<QLineEdit*>("MITDES")->toolTip().endsWith(QStringLiteral("mostra l'archivio")));

    typeInto(from, "01012025");
    typeInto(to, "31121999"); // a year out of range: back to "Alla data", nothing runs
    dialog.confirmButton()->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), to);
    EXPECT_TRUE(label->text().isEmpty());

    // A search over January 2026 of the flows: the December load sent on 5 January is
    // found because the range of years takes in its register file.
    typeInto(from, "01122025");
    typeInto(to, "31012026");
    dialog.confirmButton()->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(label->text().toStdString(),
              "Ricerca salvata in: " + (work.folders.temp / "RICERCA_C.CSV").string());
    EXPECT_FALSE(open->isVisible());
    QTest::mouseClick(dialog.confirmButton(), Qt::LeftButton);
    EXPECT_TRUE(open->isVisible());
    ASSERT_EQ(services.reports.size(), 1u);
    EXPECT_EQ(dialog.form().listed(), 1u);
    EXPECT_EQ(QApplication::focusWidget(), from);

    QTest::mouseClick(open, Qt::LeftButton);
    EXPECT_EQ(services.openedFiles.size(), 1u);
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

TEST_F(SearchDialogs, RegisterSearchListsSortsOpensReadOnlyAndExports) {
    ctx.mode = 'S';
    const auto unload = [](std::int32_t number, double day, const char* note) {
        Movement m = blankMovement();
        m.NUMREC = number;
        m.TIPREC = "C";
        m.TIPOPE = "I";
        m.TIPMOV = "S";
        m.DATMOV = day;
        m.QTALIT = 100.0 * number;
        m.ANNOTA = note;
        return encodeMovement(m);
    };
    // In file order the 15 March unload comes first; by date it is second.
    writeWholeFile(work.folders.registerFile(2025), unload(1, dayNumber(2025, 3, 15), "marzo") +
                                                        unload(2, dayNumber(2025, 2, 3), "febbraio"));
    WindowRegistry registry;
    RegistryBackedServices windows;
    windows.registry = &registry;
    registerMovementWindows(registry, nullptr, prompt, windows);

    RegisterSearchDialog dialog(ctx, prompt, windows);
    show(dialog);
    auto* exportButton = dialog.findChild<QPushButton*>("BESPORTA");
    SearchResultsView* list = dialog.results();
    ASSERT_TRUE(exportButton && list);
    EXPECT_EQ(list->objectName(), "LRICERCA");
    EXPECT_FALSE(exportButton->isVisible()); // nothing to export before a search
    typeInto(dialog.findChild<QLineEdit*>("MDADA"), "01012025");
    typeInto(dialog.findChild<QLineEdit*>("MDAAL"), "31122025");
    dialog.confirmButton()->setFocus();
    QTest::keyClick(dialog.confirmButton(), Qt::Key_Space);
    ASSERT_EQ(windows.reports.size(), 1u); // the preview as before
    EXPECT_TRUE(exportButton->isVisible());

    // The list, in the print's order; Alt+R reaches it.
    QAbstractItemModel* rows = list->model();
    ASSERT_EQ(rows->rowCount(), 2);
    ASSERT_EQ(rows->columnCount(), 26);
    EXPECT_EQ(rows->headerData(2, Qt::Horizontal).toString(), "Data Mov.");
    EXPECT_EQ(rows->index(0, 2).data().toString(), "15/03/2025");
    QTest::keyClick(&dialog, Qt::Key_R, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), list);

    // A click on "Data Mov." sorts by date, a second click the other way round.
    QHeaderView* header = list->horizontalHeader();
    const QPoint dateHeader(header->sectionViewportPosition(2) + header->sectionSize(2) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, dateHeader);
    EXPECT_EQ(rows->index(0, 2).data().toString(), "03/02/2025");
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, dateHeader);
    EXPECT_EQ(rows->index(0, 2).data().toString(), "15/03/2025");

    // Enter on the second row (February) opens it in the movement window, read only.
    std::map<std::string, bool> editable;
    QString title, note;
    bool confirmShown = true;
    whenShown<MovementEntryDialog>([&](MovementEntryDialog& movement) {
        title = movement.windowTitle();
        confirmShown = movement.findChild<QPushButton*>("BCONF")->isVisible();
        note = movement.findChild<QLineEdit*>("ANNOTA")->text();
        for (QLineEdit* field : movement.findChildren<QLineEdit*>())
            if (field->isVisible()) editable[field->objectName().toStdString()] = !field->isReadOnly();
        QTest::keyClick(&movement, Qt::Key_Escape);
    });
    list->setFocus();
    list->setCurrentIndex(rows->index(1, 0));
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(title.toStdString(), movemententry::kViewTitle);
    EXPECT_FALSE(confirmShown);
    EXPECT_EQ(note.trimmed(), "febbraio");
    ASSERT_FALSE(editable.empty());
    for (const auto& [name, canType] : editable) EXPECT_FALSE(canType) << name;
    EXPECT_TRUE(dialog.isVisible()); // back in the search, which stays open

    // "Esporta...": the save dialog in the documents folder with the name of the search.
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", home.path().toUtf8());
    QDir(home.path()).mkdir(QStringLiteral("Documents"));
    const QString chosen = home.path() + QStringLiteral("/Documents/scarichi.csv");
    QString proposed, folder;
    whenShown<QFileDialog>([&](QFileDialog& save) {
        proposed = save.selectedFiles().value(0);
        folder = save.directory().absolutePath();
        auto* name = save.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(chosen); // the clerk types the name and presses Enter
        QTest::keyClick(name, Qt::Key_Return);
    });
    QTest::mouseClick(exportButton, Qt::LeftButton);
    qputenv("HOME", oldHome);
#ifdef _WIN32
    // Windows keeps the documents folder in the user's profile, not under HOME.
    EXPECT_EQ(folder, QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).absolutePath());
#else
    EXPECT_EQ(folder, QDir(home.path() + QStringLiteral("/Documents")).absolutePath());
#endif
    EXPECT_TRUE(proposed.endsWith(QStringLiteral("/RICERCA_S_20250101_20251231.csv"))) << proposed.toStdString();
    const auto bytes = [](const fs::path& f) { return readRecords(f, 1, IfMissing::Empty).bytes(); };
    EXPECT_EQ(bytes(chosen.toStdString()), bytes(work.folders.inTemp("RICERCA_C.CSV")));
    EXPECT_EQ(dialog.findChild<QLabel*>("LESPORTA")->text(), QStringLiteral("Ricerca esportata in: ") + chosen);
    EXPECT_TRUE(prompt.messages.empty());
    dialog.reject();
}

TEST_F(SearchDialogs, DutySearchRadioGroupChoosesTheKindsExport) {
    ctx.mode = 'T';
    DutySearchDialog dialog(ctx, prompt, services, 1);
    show(dialog);
    EXPECT_EQ(dialog.windowTitle(), "Ricerca nei registri tributi");
    const auto radios = dialog.findChildren<QRadioButton*>();
    ASSERT_EQ(radios.size(), 3);
    EXPECT_TRUE(radios[1]->isChecked());
    EXPECT_EQ(radios[2]->text(), "Registro ravvedimenti");
    auto* from = dialog.findChild<QLineEdit*>("MDADA");
    auto* to = dialog.findChild<QLineEdit*>("MDAAL");
    EXPECT_EQ(QApplication::focusWidget(), from);

    typeInto(to, "23"); // beyond the last period
    dialog.confirmButton()->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), to);
    EXPECT_TRUE(services.reports.empty());

    // A click on the button itself (a radio button takes clicks on its circle and text).
    QTest::mouseClick(radios[2], Qt::LeftButton, {}, QPoint(5, radios[2]->height() / 2));
    EXPECT_TRUE(radios[2]->isChecked());
    typeInto(from, "012025");
    typeInto(to, "22");
    dialog.confirmButton()->setFocus();
    QTest::mouseClick(dialog.confirmButton(), Qt::LeftButton);
    ASSERT_EQ(services.reports.size(), 1u);
    EXPECT_TRUE(fileExists(work.folders.inTemp("RICERCA_R.CSV")));
    EXPECT_EQ(dialog.form().kindChoice(), 2);
    EXPECT_TRUE(dialog.findChild<QPushButton*>("BAPRI")->isVisible());
    EXPECT_TRUE(dialog.findChild<QPushButton*>("BESPORTA")->isVisible());
    EXPECT_EQ(dialog.results()->model()->columnCount(), 13); // the voluntary corrections' export columns
    dialog.reject();
}

TEST_F(SearchDialogs, StockSearchRefusesAnEndBeforeTheStart) {
    StockSearchDialog dialog(ctx, prompt, services, "01/01/2009");
    show(dialog);
    EXPECT_EQ(dialog.windowTitle(), "Ricerca giacenze iniziali");
    auto* from = dialog.findChild<QLineEdit*>("MDADA");
    auto* to = dialog.findChild<QLineEdit*>("MDAAL");
    EXPECT_EQ(from->text(), "01/01/2009");
    EXPECT_EQ(to->text().toStdString(), formatDate(todayDayNumber()));
    typeInto(from, "01012025");
    typeInto(to, "31122024");
    dialog.confirmButton()->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), to);
    typeInto(to, "31122025");
    dialog.confirmButton()->setFocus();
    QTest::mouseClick(dialog.confirmButton(), Qt::LeftButton);
    EXPECT_EQ(services.reports.size(), 1u);
    EXPECT_EQ(QApplication::focusWidget(), from);
    EXPECT_EQ(to->text().toStdString(), formatDate(todayDayNumber()));
    dialog.reject();
}

} // namespace
} // namespace accise
