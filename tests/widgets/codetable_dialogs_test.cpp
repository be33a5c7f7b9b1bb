// The lookup list and the code-table editors, typed into as a clerk would, and the
// files they write.
#include <gtest/gtest.h>

#include <cstdlib>

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>
#include <QTreeWidget>

#include "core/tables/codetables.h"
#include "core/tables/dates.h"
#include "logic/codetable_testdata.h"
#include "logic/window_fixtures.h"
#include "qt/codetables/codetabledialog.h"
#include "qt/codetables/productcodedialog.h"
#include "qt/reports/reportoutput.h"
#include "qt/shell/lookuplistdialog.h"

namespace accise {
namespace {

using testing::FakeServices;
using testing::RecordingPrompt;
using testing::structureRecord;
using testing::WorkingFolder;
using testing::writeRows;
using testing::writeStructure;

TableRecord row(std::int32_t n, const std::string& table, std::vector<std::string> cols) {
    return testing::tableRow(n, table, std::move(cols));
}

class CodeTableWidgets : public ::testing::Test {
protected:
    void SetUp() override {
        writeStructure(work.folders, structureRecord("T010", "Imballaggi", "Codice;Descrizione;Numerabile;",
                                                     {{"Codice", 2}, {"Descrizione", 60}, {"Numerabile (S/N)", 1}}));
        writeRows(work.folders.table("T010"),
                  {row(1, "T010", {"BT", "Bottiglia", "S"}), row(2, "T010", {"CA", "Cassa", "S"})});
    }

    void show(QDialog& dialog) {
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }
    template <class W = QLineEdit>
    static W* child(QWidget& dialog, const char* name) {
        return dialog.findChild<W*>(QString::fromLatin1(name));
    }
    static QWidget* focus() { return QApplication::focusWidget(); }
    static void typeAndEnter(const QString& text) {
        QWidget* w = focus();
        if (!text.isEmpty()) QTest::keyClicks(w, text);
        QTest::keyClick(w, Qt::Key_Return);
    }
    std::vector<std::string> codes(const std::string& table) const {
        std::vector<std::string> found;
        for (const auto& r : readTable(work.folders.table(table))) found.push_back(r.col[0]);
        return found;
    }

    WorkingFolder work;
    CommandContext ctx = work.context();
    RecordingPrompt prompt;
    FakeServices services;
};

TEST_F(CodeTableWidgets, GenericEditorAddsChangesAndDeletesCodes) {
    ctx.table = "T010";
    CodeTableDialog dialog(ctx, prompt, services, EditorMode::Menu);
    show(dialog);
    EXPECT_EQ(dialog.windowTitle(), "Imballaggi");
    ASSERT_EQ(focus(), child(dialog, "LE1"));
    EXPECT_EQ(child(dialog, "LE1")->maxLength(), 2);

    typeAndEnter("bo"); // shown in capitals
    EXPECT_EQ(child(dialog, "LE1")->text(), "BO");
    ASSERT_EQ(focus(), child(dialog, "LE2"));
    typeAndEnter("Botte");
    typeAndEnter("x"); // not a flag: the cursor stays
    ASSERT_EQ(focus(), child(dialog, "LE3"));
    child(dialog, "LE3")->selectAll();
    typeAndEnter("n");
    ASSERT_EQ(focus(), dialog.confirmButton());
    QTest::mouseClick(dialog.confirmButton(), Qt::LeftButton);
    EXPECT_EQ(codes("T010"), (std::vector<std::string>{"BO", "BT", "CA"}));
    EXPECT_EQ(child(dialog, "LE1")->text(), "");
    EXPECT_TRUE(dialog.isVisible());

    // An existing code loads for change or deletion.
    ASSERT_EQ(focus(), child(dialog, "LE1"));
    typeAndEnter("ca");
    EXPECT_EQ(child(dialog, "LE2")->text(), "Cassa");
    EXPECT_TRUE(child<QLabel>(dialog, "LMODCANC")->isVisible());
    EXPECT_TRUE(child<QPushButton>(dialog, "BCANCELLA")->isVisible());
    EXPECT_FALSE(child<QPushButton>(dialog, "BELENCA")->isVisible());
    prompt.answers = {true}; // "CONFERMI LA CANCELLAZIONE ?": Yes
    QTest::mouseClick(child<QPushButton>(dialog, "BCANCELLA"), Qt::LeftButton);
    EXPECT_EQ(codes("T010"), (std::vector<std::string>{"BO", "BT"}));
    EXPECT_FALSE(child<QLabel>(dialog, "LMODCANC")->isVisible());
    EXPECT_TRUE(child<QPushButton>(dialog, "BELENCA")->isVisible());
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(CodeTableWidgets, ReturnModeClosesAfterOneCode) {
    ctx.table = "T010";
    CodeTableDialog dialog(ctx, prompt, services, EditorMode::Return);
    show(dialog);
    typeAndEnter("FU");
    typeAndEnter("Fusto");
    typeAndEnter("N");
    QTest::mouseClick(dialog.confirmButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(ctx.enteredCode, "FU");
}

TEST_F(CodeTableWidgets, ProductCodeEditorChecksValidityAndSaves) {
    writeStructure(work.folders, structureRecord("TA20", kProductCodeTitle, "", {{"Codice", 21}}));
    ctx.table = "TA20";
    ProductCodeDialog dialog(ctx, prompt, services);
    show(dialog);
    EXPECT_EQ(dialog.windowTitle(), "Codici doganali identificativi dei prodotti (TA20)");
    ASSERT_EQ(focus(), child(dialog, "ME0"));
    EXPECT_EQ(child(dialog, "MALLA")->text(), "01/01/2050");

    typeAndEnter("m000"); // the eight digits are missing
    ASSERT_EQ(focus(), child(dialog, "ME0"));
    child(dialog, "ME0")->setCursorPosition(5);
    typeAndEnter("11070000000000");
    EXPECT_EQ(child(dialog, "ME0")->text(), "M000-11070000-00-0000");
    ASSERT_EQ(focus(), child<QPlainTextEdit>(dialog, "Memo1"));
    typeAndEnter("Malto d'orzo");
    ASSERT_EQ(focus(), child(dialog, "MDALLA"));
    child(dialog, "MDALLA")->selectAll();
    typeAndEnter("01012024");
    ASSERT_EQ(focus(), child(dialog, "MALLA"));
    child(dialog, "MALLA")->selectAll();
    typeAndEnter("31122023"); // ends before it starts
    ASSERT_EQ(focus(), child(dialog, "MALLA"));
    child(dialog, "MALLA")->selectAll();
    typeAndEnter("31122030");
    auto radios = dialog.findChildren<QRadioButton*>();
    ASSERT_EQ(radios.size(), 3);
    QTest::mouseClick(radios[0], Qt::LeftButton); // "Kilogrammi", and on to the confirm button
    QTest::mouseClick(dialog.confirmButton(), Qt::LeftButton);

    const auto saved = findCode(work.folders, "TA20", "M000-11070000-00-0000", prompt);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->col[1], "Malto d'orzo");
    EXPECT_EQ(saved->col[2], "Kilogrammi");
    EXPECT_EQ(saved->nums[0], dayNumber(2024, 1, 1));
    EXPECT_EQ(saved->nums[1], dayNumber(2030, 12, 31));
    // Reset for the next code: no unit chosen, the dates kept.
    EXPECT_FALSE(radios[0]->isChecked());
    EXPECT_EQ(child(dialog, "MDALLA")->text(), "01/01/2024");
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(CodeTableWidgets, LookupListChoosesSortsAndPrints) {
    writeRows(work.folders.table("T010"),
              {row(1, "T010", {"BT", "Bottiglia", "S"}), row(2, "T010", {"CA", "Anfora", "S"})});
    ctx.table = "T010";
    LookupListDialog dialog(ctx, lookupRequestOf(ctx), nullptr);
    QTreeWidget* view = dialog.view();
    EXPECT_EQ(dialog.windowTitle(), "Imballaggi");
    ASSERT_EQ(view->topLevelItemCount(), 2);
    EXPECT_EQ(view->headerItem()->text(1), "Descrizione");
    EXPECT_EQ(dialog.findChild<QPushButton*>("BSTAMPA")->text(), "&Stampa");

    show(dialog);
    ASSERT_EQ(focus(), view);
    // Sorting by the description puts "Anfora" first; a second click sorts ascending again.
    QHeaderView* header = view->header();
    const QPoint onDescription(header->sectionViewportPosition(1) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, onDescription);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, onDescription);
    EXPECT_EQ(view->topLevelItem(0)->text(0), "CA");
    std::vector<LookupReportData> printed;
    dialog.setPrinter([&](const LookupReportData& d) { printed.push_back(d); });
    QTest::mouseClick(dialog.findChild<QPushButton*>("BSTAMPA"), Qt::LeftButton);
    ASSERT_EQ(printed.size(), 1u);
    EXPECT_EQ(printed[0].rows, (std::vector<std::vector<std::string>>{{"CA", "Anfora", "S"}, {"BT", "Bottiglia", "S"}}));
    EXPECT_EQ(printed[0].captions, (std::vector<std::string>{"Codice", "Descrizione", "Numerabile"}));

    view->setFocus();
    QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(ctx.chosenCode, 1);
}

TEST_F(CodeTableWidgets, LookupListIsWideEnoughForEveryColumn) {
    writeRows(work.folders.table("T010"),
              {row(1, "T010", {"BT", std::string(60, 'D') + "fine", "S"}), row(2, "T010", {"CA", "Cassa", "S"})});
    ctx.table = "T010";
    ctx.maxWindowWidth = 0; // no screen limit
    LookupListDialog dialog(ctx, lookupRequestOf(ctx), nullptr);
    show(dialog);
    QTreeWidget* view = dialog.view();
    const int last = view->columnCount() - 1;
    EXPECT_LE(view->header()->sectionViewportPosition(last) + view->columnWidth(last), view->viewport()->width());
    EXPECT_FALSE(view->horizontalScrollBar()->isVisible());
}

TEST_F(CodeTableWidgets, LookupListCaptionsAreNeverCut) {
    // One-letter values under long captions: the document types' "Mittente" column.
    writeRows(work.folders.table("T010"), {row(1, "T010", {"B", "x", "S"})});
    ctx.table = "T010";
    LookupListDialog dialog(ctx, lookupRequestOf(ctx), nullptr);
    show(dialog);
    QHeaderView* header = dialog.view()->header();
    for (int i = 0; i < header->count(); ++i) {
        const QString caption = dialog.view()->headerItem()->text(i);
        // The size the header needs to draw the caption whole, margins included; a
        // column sized by its one-letter values alone is about half of it.
        EXPECT_GE(header->sectionSize(i), header->sectionSizeHint(i)) << caption.toStdString();
    }
}

TEST_F(CodeTableWidgets, LookupListEscapeAndEmptyListReturnNothing) {
    ctx.table = "T999"; // no structure: an empty list
    LookupListDialog dialog(ctx, lookupRequestOf(ctx), nullptr);
    show(dialog);
    EXPECT_EQ(dialog.view()->topLevelItemCount(), 0);
    QTest::mouseClick(dialog.findChild<QPushButton*>("BOK"), Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible()); // "&OK" with no row does nothing
    QTest::keyClick(dialog.view(), Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(ctx.chosenCode, -1);
}

TEST_F(CodeTableWidgets, LookupReportWritesAPdf) {
    LookupReportData report;
    report.title = "Imballaggi";
    report.widths = {5, 60, 5};
    report.captions = {"Codice", "Descrizione", "S/N"};
    for (int i = 0; i < 120; ++i) report.rows.push_back({std::to_string(i), "Riga di prova", "S"});
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("lista.pdf"));
    ASSERT_TRUE(writeReportPdf(file, lookupReportOrientation(report),
                               [&](PageCanvas& canvas) { drawLookupReport(canvas, report); }));
    const std::string bytes = testing::fileBytes(file.toStdString());
    EXPECT_TRUE(bytes.starts_with("%PDF"));
    // 120 rows do not fit one A4 page at 12 points: three pages with Linux's fonts, two
    // with Wine's (a line height of its own).
    const std::size_t count = bytes.find("/Count ");
    ASSERT_NE(count, std::string::npos);
    EXPECT_GE(std::atoi(bytes.c_str() + count + 7), 2) << bytes.substr(count, 10);
    EXPECT_FALSE(writeReportPdf(dir.filePath(QStringLiteral("missing/dir/x.pdf")), PageOrientation::Portrait,
                                [&](PageCanvas& canvas) { drawLookupReport(canvas, report); }));
}

TEST(ReportPdfName, TheTitleInTheWorkingFolder) {
    const QDir here = QDir::current();
    EXPECT_EQ(proposedPdfFile(QStringLiteral(" Registri Doganali ")), here.absoluteFilePath("Registri Doganali.pdf"));
    EXPECT_EQ(proposedPdfFile(QStringLiteral("Carichi: 2024/1 \"A\"")), here.absoluteFilePath("Carichi_ 2024_1 _A_.pdf"));
    EXPECT_EQ(proposedPdfFile(QString()), here.absoluteFilePath("stampa.pdf"));
}

TEST(ReportPdfName, ThePrintDialogProposesIt) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows shows its own print dialog, without a file name field";
#endif
    QString proposed = QStringLiteral("(no dialog)");
    QTimer::singleShot(200, [&proposed] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog) return;
        if (auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("filename"))) proposed = field->text();
        dialog->close();
    });
    EXPECT_FALSE(printReport(nullptr, PageOrientation::Portrait, [](PageCanvas&) {}, QStringLiteral("Imballaggi")));
    EXPECT_EQ(proposed, proposedPdfFile(QStringLiteral("Imballaggi")));
}

} // namespace
} // namespace accise
