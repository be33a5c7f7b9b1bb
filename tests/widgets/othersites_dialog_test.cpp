// The other authorised sites window typed into as a clerk would: a new site from the
// company's data, and the site numbers that keep the cursor.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "core/tables/company.h"
#include "logic/window_fixtures.h"
#include "qt/masterdata/othersitesdialog.h"

namespace accise {
namespace {

using testing::FakeServices;
using testing::RecordingPrompt;
using testing::WorkingFolder;

class OtherSitesDialogTest : public ::testing::Test {
protected:
    OtherSitesDialogTest() {
        testing::writeOfficeTable(work.folders);
        AddressRecord c = blankAddress();
        c.auth_type = "1";
        c.id1 = "IT00MIA00012X";
        c.name1 = "Birrificio Prova";
        c.street1 = "Via Roma";
        c.number1 = "1";
        c.postcode1 = "20100";
        c.city1 = "MILANO";
        c.office = "IT012000";
        writeCompany(work.folders, c);
    }

    void show(EntryDialog& dialog) {
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }
    static QLineEdit* line(QWidget& dialog, const char* name) {
        return dialog.findChild<QLineEdit*>(QString::fromLatin1(name));
    }
    static QWidget* focus() { return QApplication::focusWidget(); }
    static void typeAndEnter(const QString& text) {
        if (!text.isEmpty()) QTest::keyClicks(focus(), text);
        QTest::keyClick(focus(), Qt::Key_Return);
    }

    WorkingFolder work;
    CommandContext ctx = work.context();
    RecordingPrompt prompt;
    FakeServices services;
};

TEST_F(OtherSitesDialogTest, NewSiteFromTheCompanyDataIsSaved) {
    OtherSitesDialog dialog(ctx, prompt, services);
    show(dialog);
    ASSERT_EQ(focus(), line(dialog, "SEDE"));
    EXPECT_EQ(line(dialog, "SEDE")->text(), "002");
    EXPECT_EQ(dialog.findChild<QPlainTextEdit*>("Memo1")->toPlainText(),
              "IT00MIA00012X\nBirrificio Prova\nVia Roma\nMILANO");
    typeAndEnter(""); // 002
    ASSERT_EQ(focus(), line(dialog, "CACCI2"));
    typeAndEnter(""); // the company's code: "A" is not a site's letter
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"ATTENZIONE CODICE D'ACCISA ERRATO"});
    ASSERT_EQ(focus(), line(dialog, "CACCI2"));
    line(dialog, "CACCI2")->selectAll();
    typeAndEnter("it00miv00099z");
    ASSERT_EQ(focus(), line(dialog, "DENOM2"));
    line(dialog, "DENOM2")->selectAll();
    typeAndEnter("deposito torino");
    for (int i = 0; i < 4; ++i) typeAndEnter(""); // address, number, postcode, city
    ASSERT_EQ(focus(), line(dialog, "UFFDO1"));
    typeAndEnter("");
    EXPECT_EQ(line(dialog, "DUFFDOG")->text(), "UFFICIO DELLE DOGANE DI MILANO 2");
    EXPECT_EQ(line(dialog, "UFFDO2")->text(), "IT012100");
    typeAndEnter(""); // SEZDOG
    typeAndEnter(""); // UFFDO2
    ASSERT_EQ(focus(), dialog.confirmButton());
    QTest::keyClick(dialog.confirmButton(), Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());

    const auto saved = readSite(work.folders, 2);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->user_code, "002");
    EXPECT_EQ(saved->id2, "IT00MIV00099Z");
    EXPECT_EQ(saved->name2, "Deposito torino");
    EXPECT_EQ(saved->street2, "Via Roma");
    EXPECT_EQ(saved->city2, "MILANO");
    EXPECT_EQ(saved->office, "IT012000");
    EXPECT_EQ(saved->export_office, "IT012100");
    EXPECT_EQ(saved->section, "012000");
    EXPECT_EQ(saved->id1, "");
}

TEST_F(OtherSitesDialogTest, TheCompanyNumberAndAnIncompleteNumberKeepTheCursor) {
    OtherSitesDialog dialog(ctx, prompt, services);
    show(dialog);
    line(dialog, "SEDE")->selectAll();
    typeAndEnter("001");
    EXPECT_EQ(focus(), line(dialog, "SEDE"));
    EXPECT_TRUE(prompt.messages.empty());
    line(dialog, "SEDE")->selectAll();
    typeAndEnter("7");
    EXPECT_EQ(focus(), line(dialog, "SEDE"));
    EXPECT_EQ(prompt.messages.size(), 1u);
    prompt.answers = {true}; // "ABBANDONARE I DATI INSERITI ?": Yes
    QTest::mouseClick(dialog.abandonButton(), Qt::LeftButton);
    EXPECT_EQ(prompt.questions.back(), kAbandonTypedValues);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(fs::exists(work.folders.site(2)));
}

} // namespace
} // namespace accise
