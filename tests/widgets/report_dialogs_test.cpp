// The report windows typed into as a clerk would: the print mode shows the heading
// sheets' fields, the register list follows the period, and a confirmation sends the
// cursor to what is missing instead of printing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "logic/window_fixtures.h"
#include "qt/reportwindows/reportdialogs.h"
#include "report_fixture.h"

namespace accise {
namespace {

using namespace accise::testing;

class ReportDialogTest : public ::testing::Test {
protected:
    ReportDialogTest() {
        f.addRegister("103", 2, "10/01/2025", "01/01/2025", "31/12/2025", "BIRRA SFUSA");
        f.addRegister("104", 3, "10/01/2025", "15/03/2025", "31/12/2025", "BIRRA IN FUSTI");
    }
    void show(QDialog& dialog) {
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }
    template <typename W = QLineEdit>
    static W* child(QWidget& dialog, const char* name) {
        return dialog.findChild<W*>(QString::fromLatin1(name));
    }
    static void typeDate(QLineEdit* line, const char* digits) {
        line->setFocus();
        line->selectAll();
        QTest::keyClicks(line, QString::fromLatin1(digits));
        QTest::keyClick(line, Qt::Key_Return);
    }

    ReportFolder f;
    CommandContext ctx{f.folders};
    RecordingPrompt prompt;
    FakeServices services;
};

TEST_F(ReportDialogTest, RegisterPrintModeListAndChecks) {
    RegisterPrintDialog dialog(ctx, prompt, services);
    show(dialog);
    EXPECT_EQ(QApplication::focusWidget(), child(dialog, "MDADA"));
    auto* sheets = child(dialog, "MFOGLI");
    EXPECT_FALSE(sheets->isVisible());
    const auto radios = dialog.findChildren<QRadioButton*>();
    ASSERT_EQ(radios.size(), 3);
    EXPECT_TRUE(radios[0]->isChecked());
    radios[2]->click();
    EXPECT_TRUE(radios[2]->isChecked()) << dialog.form().value("RTIPO");
    EXPECT_TRUE(sheets->isVisible());
    EXPECT_TRUE(child(dialog, "IDAPAG")->isVisible());

    typeDate(child(dialog, "MDADA"), "01032025");
    typeDate(child(dialog, "MDAAL"), "31032025");
    auto* list = child<QComboBox>(dialog, "ELENCO");
    ASSERT_EQ(list->count(), 1); // the register starting on the 15th does not cover the period
    EXPECT_EQ(list->itemText(0), QStringLiteral("Finiti sfusi         103 BIRRA SFUSA"));
    EXPECT_EQ(list->currentIndex(), -1);

    // Headings mode without sheets: the cursor goes to the sheets; then to the list.
    QTest::mouseClick(dialog.confirmButton(), Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), sheets);
    QTest::keyClicks(sheets, "-a2"); // the signed-number filter: "-" only first, no letters
    EXPECT_EQ(sheets->text(), QStringLiteral("-2"));
    sheets->clear();
    QTest::keyClicks(sheets, "2");
    QTest::mouseClick(dialog.confirmButton(), Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), list);
    EXPECT_TRUE(dialog.isVisible());

    // A start after the end sends the cursor back to the end.
    typeDate(child(dialog, "MDAAL"), "28022025");
    EXPECT_EQ(QApplication::focusWidget(), child(dialog, "MDAAL"));
    dialog.reject();
}

TEST_F(ReportDialogTest, TotalsDateIsChecked) {
    RegisterTotalsDialog dialog(ctx, prompt, services);
    show(dialog);
    auto* date = child(dialog, "MDAAL");
    EXPECT_EQ(QApplication::focusWidget(), date);
    typeDate(date, "31131999");
    EXPECT_EQ(QApplication::focusWidget(), date);
    QTest::mouseClick(dialog.confirmButton(), Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), date);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(std::filesystem::exists(f.folders.inTemp("REGISTRI.DAT")));
    dialog.reject();
}

} // namespace
} // namespace accise
