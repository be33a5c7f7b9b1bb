// The customs registers window typed into as a clerk would: a new register with its
// products, found again by its protocol number, and deleted.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "core/files/recordfile.h"
#include "core/tables/codetables.h"
#include "core/tables/dates.h"
#include "core/tables/registers.h"
#include "logic/window_fixtures.h"
#include "qt/masterdata/registersdialog.h"

namespace accise {
namespace {

using testing::FakeServices;
using testing::RecordingPrompt;
using testing::WorkingFolder;

class RegistersDialogTest : public ::testing::Test {
protected:
    RegistersDialogTest() {
        testing::writeOfficeTable(work.folders);
        TableRecord structure = blankTable();
        structure.number = 1;
        structure.extra[0] = "PROTOCOLLI";
        writeWholeFile(work.folders.structure("PROTOCOLLI"), encodeTable(structure));
        std::string ta20;
        for (const auto& [n, code] : {std::pair{1, "B000-22030001-00-0000"}, std::pair{2, "M100-10030000-00-0000"},
                                      std::pair{3, "B000-22030009-00-0000"}})
            ta20 += encodeTable(testing::tableRow(n, code, "Prodotto"));
        writeWholeFile(work.folders.table("TA20"), ta20);
        ctx.company = blankAddress();
        ctx.company.office = "IT012000";
    }

    void show(EntryDialog& dialog) {
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }
    template <typename W = QWidget>
    static W* child(QWidget& dialog, const char* name) {
        return dialog.findChild<W*>(QString::fromLatin1(name));
    }
    static QWidget* focus() { return QApplication::focusWidget(); }
    static void typeAndEnter(const QString& text) {
        if (!text.isEmpty()) QTest::keyClicks(focus(), text);
        QTest::keyClick(focus(), Qt::Key_Return);
    }
    // "MODIFICA o CANCELLA" and "Cance&lla" shown, "&Elenca" hidden.
    static bool modifyMode(QWidget& dialog) {
        const bool label = !child(dialog, "LMODCANC")->isHidden();
        EXPECT_EQ(label, !child(dialog, "BCANCELLA")->isHidden());
        EXPECT_EQ(label, child(dialog, "BELENCA")->isHidden());
        return label;
    }

    WorkingFolder work;
    CommandContext ctx = work.context();
    RecordingPrompt prompt;
    FakeServices services;
};

TEST_F(RegistersDialogTest, NewRegisterTypedWithItsProductsThenLoadedAndDeleted) {
    RegistersDialog dialog(ctx, prompt, services);
    show(dialog);
    ASSERT_EQ(focus(), child(dialog, "LE0"));
    EXPECT_FALSE(modifyMode(dialog));
    EXPECT_EQ(child<QLineEdit>(dialog, "DLE1")->text(), "UFFICIO DELLE DOGANE DI MILANO 2");
    auto* type = child<QComboBox>(dialog, "CINTERI0");
    EXPECT_EQ(type->currentIndex(), -1);
    EXPECT_EQ(type->count(), 4);
    EXPECT_EQ(type->itemText(3), "Finiti condizionati");
    auto* list = child<QListWidget>(dialog, "CTA20");
    EXPECT_EQ(list->count(), 0);

    typeAndEnter("PR-1");
    ASSERT_EQ(focus(), child(dialog, "R10"));
    const QString today = QString::fromStdString(formatDate(todayDayNumber()));
    EXPECT_EQ(child<QLineEdit>(dialog, "R10")->text(), today);
    typeAndEnter(""); // the protocol date proposes the stamping-office text
    EXPECT_EQ(child<QLineEdit>(dialog, "LE3")->text(),
              "IT012000 di UFFICIO DELLE DOGANE DI MILANO 2 protocollo n. PR-1 del " + today);
    typeAndEnter(""); // R11
    typeAndEnter(""); // R12
    ASSERT_EQ(focus(), type);
    QTest::keyClick(type, Qt::Key_Down);
    QTest::keyClick(type, Qt::Key_Down); // "Lavorazioni": the codes beginning with "B"
    EXPECT_EQ(type->currentIndex(), 1);
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(1)->text(), "B000-22030009-00-0000 - Prodotto");
    typeAndEnter("");   // CINTERI0
    typeAndEnter("");   // LE1
    typeAndEnter("");   // LE2, left empty: the codes become the title
    typeAndEnter("");   // LE3
    ASSERT_EQ(focus(), list);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Space); // ticks the second product
    EXPECT_EQ(list->item(1)->checkState(), Qt::Checked);
    typeAndEnter("");
    ASSERT_EQ(focus(), dialog.confirmButton());
    QTest::keyClick(dialog.confirmButton(), Qt::Key_Return);

    EXPECT_TRUE(dialog.isVisible()); // ready for the next register
    EXPECT_EQ(focus(), child(dialog, "LE0"));
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(type->currentIndex(), -1);
    EXPECT_TRUE(prompt.messages.empty());
    const auto regs = readTable(work.folders.table("PROTOCOLLI"));
    ASSERT_EQ(regs.size(), 1u);
    EXPECT_EQ(regs[0].col[0], "PR-1");
    EXPECT_EQ(regs[0].col[2], "B000-22030009-00-0000");
    EXPECT_EQ(regs[0].ints[0], 1);
    const auto products = readProductList(work.folders, regs[0].number);
    ASSERT_EQ(products.size(), 1u);
    EXPECT_EQ(products[0].number, 3);

    // Typing the protocol number again loads the register.
    typeAndEnter("PR-1");
    EXPECT_EQ(focus(), child(dialog, "LE2"));
    EXPECT_TRUE(modifyMode(dialog));
    EXPECT_EQ(type->currentIndex(), 1);
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->checkState(), Qt::Unchecked);
    EXPECT_EQ(list->item(1)->checkState(), Qt::Checked);

    prompt.answers = {true}; // "CONFERMI LA CANCELLAZIONE ?": Yes
    QTest::mouseClick(child<QPushButton>(dialog, "BCANCELLA"), Qt::LeftButton);
    EXPECT_FALSE(modifyMode(dialog));
    EXPECT_EQ(child<QLineEdit>(dialog, "LE0")->text(), "");
    EXPECT_TRUE(readTable(work.folders.table("PROTOCOLLI")).empty());
    EXPECT_TRUE(fs::exists(work.folders.productList(1))); // the product list stays
}

TEST_F(RegistersDialogTest, NoProductTickedKeepsTheWindowOnTheList) {
    RegistersDialog dialog(ctx, prompt, services);
    show(dialog);
    QTest::keyClicks(child(dialog, "LE0"), "PR-2");
    auto* type = child<QComboBox>(dialog, "CINTERI0");
    type->setFocus();
    QTest::keyClick(type, Qt::Key_Down); // "Materie prime"
    EXPECT_EQ(child<QListWidget>(dialog, "CTA20")->count(), 1);
    QTest::mouseClick(dialog.confirmButton(), Qt::LeftButton);
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"SELEZIONA ALMENO UN PRODOTTO"});
    EXPECT_EQ(focus(), child(dialog, "CTA20"));
    EXPECT_TRUE(dialog.isVisible());

    prompt.answers = {true}; // "ABBANDONARE I DATI INSERITI ?": Yes
    QTest::mouseClick(dialog.abandonButton(), Qt::LeftButton);
    EXPECT_EQ(prompt.questions.back(), kAbandonTypedValues);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(readTable(work.folders.table("PROTOCOLLI")).empty());
}

} // namespace
} // namespace accise
