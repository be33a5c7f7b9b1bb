// The address book windows typed into as a clerk would: fields by kind, the warning
// that does not block, continuous entry against return mode, the delete window's "SI".
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "core/tables/addressbook.h"
#include "core/tables/deliveredtables.h"
#include "logic/masterdata/addresswindows.h"
#include "logic/shell/commandtable.h"
#include "logic/window_fixtures.h"
#include "qt/masterdata/addressdeletedialog.h"
#include "qt/masterdata/addressentrydialog.h"
#include "qt/masterdata/addresswindows.h"

namespace accise {
namespace {

using testing::FakeServices;
using testing::RecordingPrompt;
using testing::WorkingFolder;

class AddressDialogTest : public ::testing::Test {
protected:
    AddressDialogTest() { installDeliveredTables(work.folders); }

    void show(QDialog& dialog) {
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }
    static QLineEdit* line(QWidget& dialog, const char* name) {
        return dialog.findChild<QLineEdit*>(QString::fromLatin1(name));
    }
    static QWidget* focus() { return QApplication::focusWidget(); }
    static void typeAndEnter(const QString& text) {
        QWidget* widget = QApplication::focusWidget();
        if (!text.isEmpty()) QTest::keyClicks(widget, text);
        QTest::keyClick(widget, Qt::Key_Return);
    }
    CommandContext contextFor(const char* book, bool continuous) {
        CommandContext c = work.context();
        c.table = book;
        c.continuousEntry = continuous;
        return c;
    }

    WorkingFolder work;
    RecordingPrompt prompt;
    FakeServices services;
};

TEST_F(AddressDialogTest, SupplierTypedFieldByFieldInContinuousEntry) {
    AddressRecord present = blankAddress();
    present.id1 = "IT00MIA00001X";
    present.name1 = "Malteria";
    insertAddress(work.folders.addressBook('F'), present, prompt);

    CommandContext ctx = contextFor("INDIRIZZI_F", true);
    AddressEntryDialog dialog(ctx, prompt, services);
    show(dialog);
    EXPECT_EQ(dialog.windowTitle(), "Inserisce Fornitore");
    EXPECT_TRUE(line(dialog, "CACCI1")->isVisible());
    EXPECT_FALSE(line(dialog, "CONGAR")->isVisible());
    EXPECT_FALSE(line(dialog, "CAUESO")->isVisible());
    EXPECT_EQ(line(dialog, "SEZDOG")->text(), "it");
    ASSERT_EQ(focus(), line(dialog, "CACCI2"));

    typeAndEnter("01234567890");   // CACCI2
    typeAndEnter("it00mia00001x"); // CACCI1, in capitals: present, a warning only
    EXPECT_EQ(line(dialog, "CACCI1")->text(), "IT00MIA00001X");
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"ATTENZIONE CODICE D'ACCISA GIA' PRESENTE IN ARCHIVIO !"});
    ASSERT_EQ(focus(), line(dialog, "DENOM1"));
    typeAndEnter("birra del nord"); // first letter made a capital
    EXPECT_EQ(line(dialog, "DENOM1")->text(), "Birra del nord");
    typeAndEnter("via po");
    typeAndEnter("3");
    typeAndEnter("10100");
    typeAndEnter("torino");
    EXPECT_EQ(line(dialog, "CITTA1")->text(), "TORINO");
    line(dialog, "SEZDOG")->selectAll();
    typeAndEnter("EN"); // lower case
    EXPECT_EQ(line(dialog, "DSEZDOG")->text(), "Inglese");
    ASSERT_EQ(focus(), dialog.confirmButton());
    QTest::keyClick(dialog.confirmButton(), Qt::Key_Return);

    // Saved; the window stays open, empty, for the next supplier.
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(line(dialog, "DENOM1")->text(), "");
    EXPECT_EQ(line(dialog, "SEZDOG")->text(), "it");
    EXPECT_EQ(focus(), line(dialog, "CACCI2"));
    const auto entries = readAddressBook(work.folders.addressBook('F'));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name1, "Birra del nord");
    EXPECT_EQ(entries[0].code, 2);
    EXPECT_EQ(entries[0].id1, "IT00MIA00001X");
    EXPECT_EQ(entries[0].city1, "TORINO");
    EXPECT_EQ(entries[0].section, "en");
}

TEST_F(AddressDialogTest, CarrierFromAnotherWindowClosesAfterOneEntry) {
    CommandContext ctx = contextFor("INDIRIZZI_T", false);
    AddressEntryDialog dialog(ctx, prompt, services);
    show(dialog);
    EXPECT_EQ(dialog.windowTitle(), "Inserisce Azienda di Trasporto");
    EXPECT_FALSE(line(dialog, "CACCI1")->isVisible());

    // The confirm button reached before any key: nothing, the cursor goes back.
    dialog.confirmButton()->setFocus();
    EXPECT_EQ(focus(), line(dialog, "CACCI2"));

    typeAndEnter("");              // CACCI2 left empty
    ASSERT_EQ(focus(), line(dialog, "DENOM1"));
    typeAndEnter("Trasporti Rapidi");
    typeAndEnter("Via Emilia");
    typeAndEnter("12");
    typeAndEnter("26900");
    typeAndEnter("Lodi");
    typeAndEnter("");              // SEZDOG "it"
    // The VAT number is required for a carrier: the cursor goes there, no message.
    EXPECT_EQ(focus(), line(dialog, "CACCI2"));
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_TRUE(readAddressBook(work.folders.addressBook('T')).empty());

    QTest::keyClicks(line(dialog, "CACCI2"), "0222111000");
    QTest::mouseClick(dialog.confirmButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    const auto entries = readAddressBook(work.folders.addressBook('T'));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].id1, "");
    EXPECT_EQ(entries[0].id2, "0222111000");
    EXPECT_EQ(ctx.enteredCode, "0222111000");
}

TEST_F(AddressDialogTest, GuarantorBondKindIsCheckedOnLeaving) {
    CommandContext ctx = contextFor("INDIRIZZI_G", true);
    AddressEntryDialog dialog(ctx, prompt, services);
    show(dialog);
    EXPECT_EQ(dialog.windowTitle(), "Inserisce Garante");
    ASSERT_TRUE(line(dialog, "CAUESO")->isVisible());
    line(dialog, "CAUESO")->setFocus();
    typeAndEnter("x");
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"DIGITA: C per cauzione, E pe esonero"});
    EXPECT_EQ(focus(), line(dialog, "CAUESO"));
    EXPECT_EQ(line(dialog, "CAUESO")->text(), "X");
}

TEST_F(AddressDialogTest, DeleteNeedsSi) {
    AddressRecord a = blankAddress();
    a.id1 = "IT00MIA00001X";
    a.name1 = "Cliente Uno";
    a.city1 = "ROMA";
    insertAddress(work.folders.addressBook('C'), a, prompt);
    const AddressRecord found = readAddressBook(work.folders.addressBook('C'))[0];

    CommandContext ctx = contextFor("INDIRIZZI_C", false);
    AddressDeleteDialog dialog(ctx, prompt, services, found);
    show(dialog);
    EXPECT_EQ(dialog.windowTitle(), "Cancella Cliente");
    EXPECT_TRUE(dialog.findChild<QPlainTextEdit*>("TESTO")->toPlainText().startsWith("IT00MIA00001X\n\nCliente Uno"));
    ASSERT_EQ(focus(), line(dialog, "CONFSI"));
    typeAndEnter("no");
    EXPECT_EQ(focus(), line(dialog, "CONFSI"));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(readAddressBook(work.folders.addressBook('C')).size(), 1u);

    line(dialog, "CONFSI")->selectAll();
    typeAndEnter("si");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(readAddressBook(work.folders.addressBook('C')).empty());
}

TEST_F(AddressDialogTest, DeleteAbandonedKeepsTheEntry) {
    AddressRecord a = blankAddress();
    a.name1 = "Cliente Due";
    insertAddress(work.folders.addressBook('C'), a, prompt);
    CommandContext ctx = contextFor("INDIRIZZI_C", false);
    AddressDeleteDialog dialog(ctx, prompt, services, readAddressBook(work.folders.addressBook('C'))[0]);
    show(dialog);
    QTest::keyClicks(line(dialog, "CONFSI"), "SI");
    prompt.answers = {true}; // "ABBANDONARE I DATI INSERITI ?": Yes
    QTest::mouseClick(dialog.abandonButton(), Qt::LeftButton);
    EXPECT_EQ(prompt.questions.back(), kAbandonTypedValues);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(readAddressBook(work.folders.addressBook('C')).size(), 1u);
}

TEST_F(AddressDialogTest, RegisteredCommandsModifyAndReturnMode) {
    AddressRecord a = blankAddress();
    a.id1 = "IT00MIA00001X";
    a.name1 = "Alfa";
    a.street1 = "Via A";
    a.number1 = "1";
    a.postcode1 = "00100";
    a.city1 = "ROMA";
    a.section = "it";
    insertAddress(work.folders.addressBook('C'), a, prompt);
    WindowRegistry registry;
    registerAddressWindows(registry, nullptr, prompt, services);

    // Modify: the entry chosen in the list is shown, changed and moved with its code.
    CommandContext ctx = contextFor("INDIRIZZI_C", true);
    services.lookupAnswer = 1;
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<AddressEntryDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Modifica Cliente ");
        auto* name = line(*dialog, "DENOM1");
        EXPECT_EQ(name->text(), "Alfa");
        name->setFocus();
        name->selectAll();
        QTest::keyClicks(name, "zeta");
        QTest::mouseClick(dialog->confirmButton(), Qt::LeftButton);
    });
    ASSERT_TRUE(registry.run(handlers::kAddressModify, ctx));
    auto entries = readAddressBook(work.folders.addressBook('C'));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name1, "Zeta");
    EXPECT_EQ(entries[0].code, 1);

    // Return mode: one entry, then the caller's values come back.
    ctx.table = "INDIRIZZI_F";
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<AddressEntryDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Inserisce Fornitore");
        line(*dialog, "CACCI2")->setFocus();
        QTest::keyClicks(line(*dialog, "CACCI2"), "0999"); // VAT number; one key typed: the checks start
        line(*dialog, "CACCI1")->setText(QStringLiteral("IT00MIA00002X"));
        for (const char* name : {"CACCI1", "DENOM1", "INDIR1", "NUMCI1", "C_A_P1", "CITTA1"}) {
            auto* field = line(*dialog, name);
            if (field->text().isEmpty()) field->setText(QStringLiteral("X"));
        }
        QTest::mouseClick(dialog->confirmButton(), Qt::LeftButton);
    });
    ASSERT_TRUE(registry.run(kAddressInsertReturn, ctx));
    EXPECT_EQ(ctx.enteredCode, "IT00MIA00002X");
    EXPECT_EQ(ctx.table, "INDIRIZZI_F");
    EXPECT_TRUE(ctx.continuousEntry);
    EXPECT_EQ(readAddressBook(work.folders.addressBook('F')).size(), 1u);
}

} // namespace
} // namespace accise
