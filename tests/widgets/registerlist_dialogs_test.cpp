// The initial stock window, the record selection list and the removal of unsent
// records, typed into as a clerk would.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include "core/files/ioerror.h"
#include "core/files/text1252.h"
#include "logic/movements/initialstockcommand.h"
#include "logic/register_fixtures.h"
#include "qt/movements/cancelunsentdialog.h"
#include "qt/movements/initialstockdialog.h"
#include "qt/movements/recordselectiondialog.h"

namespace accise {
namespace {

using testing::FakeServices;
using testing::RecordingPrompt;
using testing::WorkingFolder;

const int kYear = yearOf(todayDayNumber()); // the year the list windows open on

class RegisterListDialogs : public ::testing::Test {
protected:
    RegisterListDialogs() {
        testing::writeRegisters(work.folders, {testing::registerRow(1, "20", 1, 2015)});
        testing::writeProductList(work.folders, 1, {1});
        const fs::path file = work.folders.registerFile(kYear);
        testing::writeMovementFile(file, {testing::movementRecord(1, "C", dayNumber(kYear, 3, 2), 100),
                                          testing::movementRecord(2, "S", dayNumber(kYear, 1, 15), 5),
                                          testing::movementRecord(3, "S", dayNumber(kYear, 1, 20), 7, 4)});
    }
    static void activate(QWidget& dialog) {
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }
    static QWidget* focus() { return QApplication::focusWidget(); }

    WorkingFolder work;
    CommandContext ctx = work.context();
    RecordingPrompt prompt;
    FakeServices services;
};

TEST_F(RegisterListDialogs, InitialStockTypedIntoTheWindow) {
    services.lookupAnswer = 1;
    ASSERT_TRUE(prepareInitialStock(ctx, prompt, services));
    InitialStockDialog dialog(ctx, prompt, services);
    activate(dialog);
    EXPECT_EQ(dialog.windowTitle(), "Giacenze iniziali");
    EXPECT_EQ(focus()->objectName(), "DATMOV");
    EXPECT_EQ(dialog.findChild<QLabel*>("lregistro")->text(), "Lavorazioni prot. 20 del 2015");
    EXPECT_FALSE(dialog.findChild<QLineEdit*>("DOUBL2")->isHidden()); // litres with Plato: degrees shown
    EXPECT_TRUE(dialog.findChild<QLabel*>("LRETTIFICA")->isHidden());
    EXPECT_EQ(dialog.findChild<QListWidget*>("Rprodotti")->count(), 1);

    QTest::keyClicks(focus(), "31122014");
    QTest::keyClick(focus(), Qt::Key_Return);
    ASSERT_EQ(focus()->objectName(), "DOUBL1_3");
    QTest::keyClicks(focus(), "1234.5"); // the point becomes the decimal comma
    EXPECT_EQ(dialog.findChild<QLineEdit*>("DOUBL1_3")->text(), "1.234,5");
    QTest::keyClick(focus(), Qt::Key_Return);
    QTest::keyClicks(focus(), "148,14");
    QTest::mouseClick(dialog.confirmButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog.isHidden());

    const auto stocks = readMovements(work.folders.initialStocks());
    ASSERT_EQ(stocks.size(), 1u);
    EXPECT_EQ(stocks[0].DATMOV, dayNumber(2014, 12, 31));
    EXPECT_NEAR(stocks[0].QTALIT, 1234.5, 1e-9);
    EXPECT_NEAR(stocks[0].ETTOGR, 148.14, 1e-9);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(RegisterListDialogs, SelectionListSortsAndChoosesWithEnter) {
    ctx.mode = 'M';
    RecordSelectionDialog dialog(ctx, prompt);
    activate(dialog);
    EXPECT_EQ(dialog.windowTitle(), "MODIFICA UN MOVIMENTO");
    EXPECT_EQ(dialog.yearField()->text(), QString::number(kYear));
    QTreeView* list = dialog.list();
    QAbstractItemModel* rows = list->model();
    ASSERT_EQ(rows->rowCount(), 2);
    EXPECT_EQ(rows->headerData(0, Qt::Horizontal).toString(), "DATA MOV.");
    EXPECT_EQ(list->currentIndex().row(), 1); // the last row selected
    EXPECT_TRUE(list->hasFocus());

    list->header()->sectionClicked(0); // by the text of the date: 02/03 before 15/01
    EXPECT_EQ(dialog.cellText(0, 0), QString("02/03/%1").arg(kYear));
    list->setCurrentIndex(rows->index(1, 0));
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(ctx.chosenRecord, 2);
    EXPECT_EQ(ctx.workingYear, std::to_string(kYear));
    EXPECT_TRUE(dialog.isHidden());
}

TEST_F(RegisterListDialogs, SelectionYearOutOfRangeKeepsTheCursor) {
    ctx.mode = 'M';
    RecordSelectionDialog dialog(ctx, prompt);
    activate(dialog);
    dialog.yearField()->setFocus();
    dialog.yearField()->selectAll();
    QTest::keyClicks(dialog.yearField(), "20x07"); // the letter is dropped
    EXPECT_EQ(dialog.yearField()->text(), "2007");
    QTest::keyClick(dialog.yearField(), Qt::Key_Return);
    EXPECT_EQ(focus(), dialog.yearField());
    EXPECT_EQ(dialog.list()->model()->rowCount(), 2); // the list as it was

    dialog.yearField()->selectAll();
    QTest::keyClicks(dialog.yearField(), "2015"); // no register file that year
    QTest::keyClick(dialog.yearField(), Qt::Key_Return);
    EXPECT_EQ(focus(), dialog.list());
    EXPECT_EQ(dialog.list()->model()->rowCount(), 0);
    EXPECT_EQ(dialog.list()->model()->columnCount(), 0);
    QTest::keyClick(dialog.list(), Qt::Key_Escape);
    EXPECT_EQ(ctx.chosenRecord, -1);
}

TEST_F(RegisterListDialogs, AnUnreadableRegisterFileClosesTheListsWithTheError) {
    // A folder where the year's register file should be: reading it fails.
    fs::remove(work.folders.registerFile(kYear));
    fs::create_directory(work.folders.registerFile(kYear));
    ctx.mode = 'M';
    RecordSelectionDialog selection(ctx, prompt);
    EXPECT_THROW(selection.run(), IoError);
    EXPECT_EQ(ctx.chosenRecord, -1);
    EXPECT_TRUE(selection.isHidden());

    ctx.mode = 'C';
    CancelUnsentDialog removal(ctx, prompt);
    EXPECT_THROW(removal.run(), IoError);
    EXPECT_TRUE(removal.isHidden());
}

TEST_F(RegisterListDialogs, RemovalOfTheTickedRecordsAfterSi) {
    ctx.mode = 'C';
    CancelUnsentDialog dialog(ctx, prompt);
    activate(dialog);
    EXPECT_EQ(dialog.windowTitle(), "Cancella i movimenti non ancora inviati al servizio telematico");
    QListWidget* list = dialog.list();
    ASSERT_EQ(list->count(), 2);
    EXPECT_TRUE(list->item(0)->text().startsWith(" + CARICO    02/03/"));
    EXPECT_EQ(focus(), dialog.confirmationField());
    EXPECT_GE(dialog.width(), 680);

    dialog.findChild<QPushButton*>("BTUTTI")->click();
    EXPECT_EQ(list->item(1)->checkState(), Qt::Checked);
    list->item(1)->setCheckState(Qt::Unchecked); // the clerk unticks the unload

    QTest::keyClicks(dialog.confirmationField(), "no");
    EXPECT_EQ(dialog.confirmationField()->text(), "NO");
    QTest::keyClick(dialog.confirmationField(), Qt::Key_Return);
    EXPECT_EQ(focus(), list); // not "SI": nothing removed
    EXPECT_EQ(testing::numbersIn(work.folders.registerFile(kYear)), (std::vector<std::int32_t>{1, 2, 3}));

    dialog.confirmationField()->setFocus();
    dialog.confirmationField()->clear();
    QTest::keyClicks(dialog.confirmationField(), "si");
    QTest::keyClick(dialog.confirmationField(), Qt::Key_Return);
    EXPECT_TRUE(dialog.isHidden());
    EXPECT_EQ(testing::numbersIn(work.folders.registerFile(kYear)), (std::vector<std::int32_t>{2, 3}));
    EXPECT_TRUE(prompt.messages.empty());
}

} // namespace
} // namespace accise
