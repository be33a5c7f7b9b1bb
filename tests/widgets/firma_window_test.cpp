// The test signing program's window: it lists the files of the configured folder to
// sign, signs the chosen one into the folder of signed files, and says what is missing
// when the working folder has no usable configuration.
#ifdef ACCISE_HAVE_FIRMA
#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <fstream>

#include "cms/cmssignature.h"
#include "core/files/folders.h"
#include "core/tables/company.h"
#include "firma/firmawindow.h"
#include "test_support.h"

namespace accise {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(FirmaWindow, SignsTheChosenFileIntoTheSignedFolder) {
    testing::TempDir dir;
    const Folders folders = Folders::of(dir.path(), dir.path());
    fs::create_directories(folders.generalData);
    fs::create_directories(dir / "dafirmare");
    fs::create_directories(dir / "firmati");
    // Relative entries count from the working folder.
    writeApplConfig(folders, {"firma", "dafirmare/", "firmati/", "scambio/"});
    std::ofstream(dir / "dafirmare/AB120315.C01", std::ios::binary) << "AB12 flusso\r\n";
    std::ofstream(dir / "dafirmare/AB120315.C02", std::ios::binary) << "AB12 altro\r\n";
    std::ofstream(dir / "dafirmare/vecchio.p7m") << "x"; // a signed copy is not offered

    firma::FirmaWindow window(dir.path(), dir / "impostazioni");
    window.show();
    auto* files = window.findChild<QListWidget*>(QStringLiteral("LFILE"));
    auto* sign = window.findChild<QPushButton*>(QStringLiteral("BFIRMA"));
    ASSERT_TRUE(files && sign);
    ASSERT_EQ(files->count(), 2);
    EXPECT_TRUE(window.findChild<QLabel*>(QStringLiteral("LAVVISO"))->text().contains(QStringLiteral("FIRMA DI PROVA")));

    files->setCurrentRow(0);
    QTest::mouseClick(sign, Qt::LeftButton);
    const fs::path out = dir / "firmati/AB120315.C01.p7m";
    ASSERT_TRUE(fs::exists(out));
    const cms::Verification v = cms::verifyAttached(readFile(out));
    EXPECT_TRUE(v.valid) << v.problem;
    EXPECT_EQ(v.content, "AB12 flusso\r\n");
    EXPECT_TRUE(fs::exists(dir / "impostazioni/certificato-prova.pem"));
    EXPECT_FALSE(fs::exists(dir / "firmati/AB120315.C02.p7m"));
    EXPECT_TRUE(window.findChild<QLabel*>(QStringLiteral("LESITO"))->text().contains(QString::fromStdString(out.string())));
    // The list says which file is signed and proposes the one still to sign.
    EXPECT_TRUE(files->item(0)->text().endsWith(QStringLiteral("(già firmato)")));
    EXPECT_EQ(files->currentRow(), 1);
}

TEST(FirmaWindow, NoConfigurationNoSigning) {
    testing::TempDir dir;
    firma::FirmaWindow window(dir.path(), dir / "impostazioni");
    window.show();
    EXPECT_FALSE(window.findChild<QPushButton*>(QStringLiteral("BFIRMA"))->isEnabled());
    const QString text = window.findChild<QLabel*>(QStringLiteral("LCARTELLE"))->text();
    EXPECT_TRUE(text.contains(QStringLiteral("APPL.CFG"))) << text.toStdString();
}

} // namespace
} // namespace accise
#endif
