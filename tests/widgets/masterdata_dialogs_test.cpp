// The company data, application paths and web addresses windows, typed into as a
// clerk would, and the files they write.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "core/files/ioerror.h"
#include "core/files/recordfile.h"
#include "core/tables/company.h"
#include "logic/window_fixtures.h"
#include "qt/masterdata/companydatadialog.h"
#include "qt/masterdata/pathsdialog.h"
#include "qt/masterdata/webaddressesdialog.h"

namespace accise {
namespace {

using testing::FakeServices;
using testing::RecordingPrompt;
using testing::WorkingFolder;

class DialogTest : public ::testing::Test {
protected:
    void show(EntryDialog& dialog) {
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }
    static QLineEdit* line(QWidget& dialog, const char* name) {
        return dialog.findChild<QLineEdit*>(QString::fromLatin1(name));
    }
    // Types into the field that has the cursor, then Enter.
    static void typeAndEnter(const QString& text) {
        QWidget* focus = QApplication::focusWidget();
        if (!text.isEmpty()) QTest::keyClicks(focus, text);
        QTest::keyClick(focus, Qt::Key_Return);
    }

    WorkingFolder work;
    CommandContext ctx = work.context();
    RecordingPrompt prompt;
    FakeServices services;
};

TEST_F(DialogTest, CompanyDataTypedFieldByFieldIsSaved) {
    testing::writeOfficeTable(work.folders);
    writeCompany(work.folders, blankAddress());
    CompanyDataDialog dialog(ctx, prompt, services);
    show(dialog);
    ASSERT_EQ(QApplication::focusWidget(), line(dialog, "CACCI1"));
    EXPECT_EQ(line(dialog, "CAUESO")->text(), "C");

    typeAndEnter("it00mib00012x"); // typed in lower case, shown in capitals; 7th character wrong
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"ATTENZIONE CODICE D'ACCISA ERRATO"});
    EXPECT_EQ(QApplication::focusWidget(), line(dialog, "CACCI1"));
    line(dialog, "CACCI1")->clear();
    typeAndEnter("it00mia00012x");
    ASSERT_EQ(QApplication::focusWidget(), dialog.findChild<QComboBox*>("CAP2"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down); // "ALCOPP - destinatario registrato"
    typeAndEnter("");
    typeAndEnter("birrificio prova"); // DENOM1
    typeAndEnter("12345678901");      // PARIVA: wrong, reported, the cursor goes on
    typeAndEnter("rssmra85t10a562s"); // CODFIS: valid, proposes the EDI user name
    typeAndEnter("via roma");         // INDIR1
    typeAndEnter("12/a");             // NUMCI1
    typeAndEnter("20100");            // C_A_P1
    typeAndEnter("milano");           // CITTA1
    typeAndEnter("ab12");             // CODUTE
    typeAndEnter("it012000");         // UFFDO1: found, fills the defaults
    EXPECT_EQ(line(dialog, "DUFFDOG")->text(), "UFFICIO DELLE DOGANE DI MILANO 2");
    EXPECT_EQ(line(dialog, "UFFDO2")->text(), "IT012100");
    EXPECT_EQ(line(dialog, "SEZDOG")->text(), "012000");
    ASSERT_EQ(QApplication::focusWidget(), line(dialog, "SEZDOG"));
    typeAndEnter("");        // SEZDOG
    typeAndEnter("GAR-001"); // CONGAR
    line(dialog, "CAUESO")->selectAll();
    typeAndEnter("e");       // CAUESO
    typeAndEnter("");        // UFFDO2
    typeAndEnter("");        // INDIR2 (proposed from the tax code)
    typeAndEnter("Segreta"); // CITTA2
    ASSERT_EQ(QApplication::focusWidget(), dialog.confirmButton());
    QTest::keyClick(dialog.confirmButton(), Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());

    EXPECT_EQ(prompt.messages, (std::vector<std::string>{
                                   "ATTENZIONE CODICE D'ACCISA ERRATO", "ATTENZIONE PARTITA I.V.A. ERRATA",
                                   "NON SONO STATI INDICATI I PERCORSI DELLE APPLICAZIONI",
                                   "NON SONO STATI INDICATI I PERCORSI WEB"}));
    const AddressRecord saved = *readCompany(work.folders);
    EXPECT_EQ(saved.id1, "IT00MIA00012X");
    EXPECT_EQ(saved.postcode2, "ALCOPP");
    EXPECT_EQ(saved.auth_type, "1");
    EXPECT_EQ(saved.name1, "Birrificio prova");
    EXPECT_EQ(saved.vat, "12345678901");
    EXPECT_EQ(saved.tax_code, "RSSMRA85T10A562S");
    EXPECT_EQ(saved.street1, "Via roma");
    EXPECT_EQ(saved.number1, "12/a");
    EXPECT_EQ(saved.city1, "MILANO");
    EXPECT_EQ(saved.user_code, "AB12");
    EXPECT_EQ(saved.office, "IT012000");
    EXPECT_EQ(saved.export_office, "IT012100");
    EXPECT_EQ(saved.section, "012000");
    EXPECT_EQ(saved.guarantee_account, "GAR-001");
    EXPECT_EQ(saved.bond_kind, "E");
    EXPECT_EQ(saved.street2, "RSSMRA85T10A562S-001");
    EXPECT_EQ(saved.city2, "Segreta");
}

TEST_F(DialogTest, CompanyDataAuthorisationClickAndAbandon) {
    writeCompany(work.folders, blankAddress());
    services.lookupAvailable = false; // the office list is not there: its button is disabled
    CompanyDataDialog dialog(ctx, prompt, services);
    show(dialog);
    EXPECT_FALSE(dialog.findChild<QPushButton*>("BUFFDO1")->isEnabled());
    EXPECT_TRUE(dialog.findChild<QPushButton*>("BNUOVOUFFDO1")->isEnabled());
    auto radios = dialog.findChild<QWidget*>("RTIPOIN")->findChildren<QRadioButton*>();
    ASSERT_EQ(radios.size(), 2);
    EXPECT_TRUE(radios[0]->isChecked());
    QTest::mouseClick(radios[1], Qt::LeftButton);
    EXPECT_TRUE(radios[1]->isChecked());
    EXPECT_EQ(QApplication::focusWidget(),
              line(dialog, "CACCI1")); // the click sends the cursor to the excise code

    QTest::keyClicks(line(dialog, "CACCI1"), "IT00MIA00012X");
    prompt.answers = {true}; // "ABBANDONARE I DATI INSERITI ?": Yes
    QTest::mouseClick(dialog.abandonButton(), Qt::LeftButton);
    EXPECT_EQ(prompt.questions.back(), kAbandonTypedValues);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(encodeAddress(*readCompany(work.folders)), encodeAddress(blankAddress()));
}

TEST_F(DialogTest, DamagedCompanyFileEndsTheCommandWithAnErrorAndWritesNothing) {
    const std::string damaged(100, 'x'); // shorter than one record
    writeWholeFile(work.folders.company(), damaged);
    CompanyDataDialog dialog(ctx, prompt, services);
    EXPECT_THROW(dialog.run(), IoError);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(readRecords(work.folders.company(), 1, IfMissing::Empty).bytes(), damaged);
}

TEST_F(DialogTest, ApplicationPathsWithTheBrowseButton) {
    PathsDialog dialog(ctx, prompt, services);
    QString startedFrom;
    dialog.setFileChooser([&](QWidget*, const QString& start) {
        startedFrom = start;
        return QStringLiteral("/opt/firma/FirmaVerifica.exe");
    });
    show(dialog);
    EXPECT_TRUE(fs::exists(work.folders.applConfig())); // created blank at opening
    QTest::mouseClick(dialog.findChild<QPushButton*>("BSFOGLIA0"), Qt::LeftButton);
    EXPECT_EQ(startedFrom, "");
    // The chosen file in the system's own separators (on Windows "\\opt\\firma\\...").
    const auto native = [](const char* path) { return QDir::toNativeSeparators(QString::fromUtf8(path)); };
    EXPECT_EQ(line(dialog, "LE1")->text(), native("/opt/firma/dafirmare/"));
    EXPECT_EQ(line(dialog, "LE2")->text(), native("/opt/firma/firmati/"));
    line(dialog, "LE3")->setFocus();
    QTest::keyClicks(line(dialog, "LE3"), "/emcs/");
    QTest::mouseClick(dialog.confirmButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(readApplConfig(work.folders),
              (ApplPaths{native("/opt/firma/FirmaVerifica.exe").toStdString(),
                         native("/opt/firma/dafirmare/").toStdString(), native("/opt/firma/firmati/").toStdString(),
                         "/emcs/"}));
}

TEST_F(DialogTest, WebAddressesTypedAndSaved) {
    WebAddressesDialog dialog(ctx, prompt, services);
    show(dialog);
    ASSERT_EQ(QApplication::focusWidget(), line(dialog, "LE0"));
    for (int i = 0; i < 8; ++i)
        typeAndEnter(QStringLiteral("https://sito%1.example").arg(i + 1));
    ASSERT_EQ(QApplication::focusWidget(), dialog.confirmButton());
    QTest::keyClick(dialog.confirmButton(), Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    const WebAddresses saved = readWebConfig(work.folders);
    EXPECT_EQ(saved[0], "https://sito1.example");
    EXPECT_EQ(saved[7], "https://sito8.example");
    EXPECT_TRUE(prompt.messages.empty());
}

} // namespace
} // namespace accise
