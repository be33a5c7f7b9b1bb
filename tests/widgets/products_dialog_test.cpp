// The company products window typed into as a clerk would: the packaged fields that
// follow the bulk choice, the photo in its frame, modify and delete, return mode.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "core/files/recordfile.h"
#include "core/tables/codetables.h"
#include "core/tables/deliveredtables.h"
#include "logic/window_fixtures.h"
#include "qt/masterdata/companyproductsdialog.h"

namespace accise {
namespace {

using namespace companyproducts;
using testing::FakeServices;
using testing::RecordingPrompt;
using testing::WorkingFolder;

std::string fileBytes(const fs::path& file) { return readRecords(file, 1, IfMissing::Empty).bytes(); }

class ProductsDialogTest : public ::testing::Test {
protected:
    ProductsDialogTest() {
        installDeliveredTables(work.folders);
        picture(20, 20, "BMP", work.folders.general(kDefaultPhoto));
        ctx.continuousEntry = true;
    }
    // A real picture file of that size.
    static void picture(int width, int height, const char* format, const fs::path& file) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::darkYellow);
        ASSERT_TRUE(image.save(QString::fromStdString(file.string()), format));
    }
    void show(QDialog& dialog) {
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }
    static QLineEdit* line(QWidget& dialog, const char* name) {
        return dialog.findChild<QLineEdit*>(QString::fromLatin1(name));
    }
    static QPushButton* button(QWidget& dialog, const char* name) {
        return dialog.findChild<QPushButton*>(QString::fromLatin1(name));
    }
    static QWidget* focus() { return QApplication::focusWidget(); }
    static void typeAndEnter(const QString& text) {
        QWidget* widget = QApplication::focusWidget();
        if (!text.isEmpty()) QTest::keyClicks(widget, text);
        QTest::keyClick(widget, Qt::Key_Return);
    }

    WorkingFolder work;
    CommandContext ctx = work.context();
    RecordingPrompt prompt;
    FakeServices services;
};

TEST_F(ProductsDialogTest, PackagedProductTypedWithItsPhoto) {
    CompanyProductsDialog dialog(ctx, prompt, services);
    const fs::path chosen = work.dir.path() / "bionda.jpg";
    picture(60, 30, "JPEG", chosen);
    dialog.setFileChooser([&](QWidget*) { return QString::fromStdString(chosen.string()); });
    show(dialog);
    EXPECT_EQ(dialog.windowTitle(), "Prodotti Aziendali");
    EXPECT_EQ(line(dialog, "LE3")->text(), "N");
    EXPECT_TRUE(line(dialog, "R11")->isVisible());
    EXPECT_FALSE(dialog.findChild<QLabel*>("LMODIFICA")->isVisible());
    EXPECT_FALSE(button(dialog, "BCANCELLA")->isVisible());
    EXPECT_TRUE(button(dialog, "BELENCA")->isVisible());
    EXPECT_EQ(dialog.photoFrame()->size(), QSize(115, 115)); // DEFAULT.bmp, square
    ASSERT_EQ(focus(), line(dialog, "LE0"));

    typeAndEnter("BIONDA33");
    typeAndEnter("Bionda in bottiglia");
    typeAndEnter("12");
    typeAndEnter("5.2"); // a typed point becomes a comma
    EXPECT_EQ(line(dialog, "R14")->text(), "5,2");
    typeAndEnter("b00022030001000000");
    EXPECT_EQ(line(dialog, "ME2")->text(), "B000-22030001-00-0000");
    ASSERT_EQ(focus(), line(dialog, "LE3"));
    typeAndEnter(""); // "N": the cursor goes to the volume
    ASSERT_EQ(focus(), line(dialog, "R11"));
    typeAndEnter("0,33");
    EXPECT_EQ(line(dialog, "R13")->text(), "0,03960");
    typeAndEnter("0,55");
    ASSERT_EQ(focus(), line(dialog, "I10")); // the units come before the packaging
    typeAndEnter("24");
    ASSERT_EQ(focus(), line(dialog, "LE5"));
    typeAndEnter("bo");

    QTest::mouseClick(button(dialog, "BFOTO"), Qt::LeftButton);
    EXPECT_EQ(dialog.photoFrame()->size(), QSize(230, 115)); // the picture's proportion kept

    ASSERT_EQ(focus(), dialog.confirmButton());
    QTest::keyClick(dialog.confirmButton(), Qt::Key_Return);
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_TRUE(dialog.isVisible()); // continuous entry
    EXPECT_EQ(line(dialog, "LE0")->text(), "");
    EXPECT_EQ(focus(), line(dialog, "LE0"));
    EXPECT_EQ(dialog.photoFrame()->size(), QSize(115, 115)); // back to DEFAULT.bmp

    const auto rows = readTable(work.folders.table(kTable));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].col[2], "B000-22030001-00-0000");
    EXPECT_EQ(rows[0].col[5], "BO");
    EXPECT_EQ(rows[0].col[9], ".jpg");
    EXPECT_DOUBLE_EQ(rows[0].nums[4], 5.2);
    EXPECT_EQ(rows[0].ints[0], 24);
    EXPECT_EQ(fileBytes(work.folders.general("1.jpg")), fileBytes(chosen));

    // Loading it shows "Cance&lla" in place of "&Elenca" without widening the window;
    // a long description is shown from its start.
    const int width = dialog.width();
    typeAndEnter("BIONDA33");
    EXPECT_TRUE(button(dialog, "BCANCELLA")->isVisible());
    EXPECT_EQ(dialog.width(), width);
    EXPECT_EQ(line(dialog, "DME2")->cursorPosition(), 0);
}

TEST_F(ProductsDialogTest, BulkChoiceHidesThePackagedFields) {
    CompanyProductsDialog dialog(ctx, prompt, services);
    show(dialog);
    typeAndEnter("NUOVA"); // the code must be there before the cursor may leave it
    line(dialog, "LE3")->setFocus();
    line(dialog, "LE3")->selectAll();
    typeAndEnter("s");
    EXPECT_EQ(line(dialog, "DLE3")->text(), "Sfuso");
    EXPECT_FALSE(line(dialog, "R11")->isVisible());
    EXPECT_FALSE(line(dialog, "I10")->isVisible());
    EXPECT_EQ(focus(), line(dialog, "LE5"));
    // Back to packaged: the fields come back and the cursor goes to the volume.
    line(dialog, "LE3")->setFocus();
    line(dialog, "LE3")->selectAll();
    typeAndEnter("N");
    EXPECT_TRUE(line(dialog, "R11")->isVisible());
    EXPECT_EQ(focus(), line(dialog, "R11"));
}

TEST_F(ProductsDialogTest, TooLargePhotoIsRefused) {
    CompanyProductsDialog dialog(ctx, prompt, services);
    const fs::path big = work.dir.path() / "grande.bmp";
    picture(200, 200, "BMP", big); // 160 KB
    dialog.setFileChooser([&](QWidget*) { return QString::fromStdString(big.string()); });
    show(dialog);
    QTest::mouseClick(button(dialog, "BFOTO"), Qt::LeftButton);
    EXPECT_EQ(prompt.messages, std::vector<std::string>{kPhotoTooLarge});
    EXPECT_EQ(dialog.form().photo(), fileBytes(work.folders.general(kDefaultPhoto)));
}

TEST_F(ProductsDialogTest, LoadedProductIsChangedAndDeleted) {
    TableRecord row = blankTable();
    row.col[0] = "ROSSA";
    row.col[1] = "Rossa sfusa";
    row.col[2] = "B000-22030010-00-0000";
    row.col[3] = "S";
    row.col[5] = "CI";
    row.col[9] = ".bmp";
    row.extra[0] = "PRAZ";
    row.nums[0] = 14;
    insertTableRecord(work.folders.table(kTable), row, prompt);
    picture(10, 40, "BMP", work.folders.general("1.bmp"));

    CompanyProductsDialog dialog(ctx, prompt, services);
    show(dialog);
    typeAndEnter("ROSSA");
    EXPECT_TRUE(dialog.findChild<QLabel*>("LMODIFICA")->isVisible());
    EXPECT_TRUE(button(dialog, "BCANCELLA")->isVisible());
    EXPECT_FALSE(button(dialog, "BELENCA")->isVisible());
    EXPECT_FALSE(line(dialog, "R11")->isVisible()); // a bulk product
    EXPECT_EQ(line(dialog, "R10")->text(), "14,00");
    EXPECT_EQ(dialog.photoFrame()->size(), QSize(28, 115)); // its own photo, tall

    prompt.answers = {true}; // "CONFERMI LA CANCELLAZIONE ?": Yes
    QTest::mouseClick(button(dialog, "BCANCELLA"), Qt::LeftButton);
    EXPECT_TRUE(readTable(work.folders.table(kTable)).empty());
    EXPECT_TRUE(fs::exists(work.folders.general("1.bmp")));
    EXPECT_EQ(line(dialog, "LE0")->text(), "");
    EXPECT_FALSE(button(dialog, "BCANCELLA")->isVisible());
    EXPECT_EQ(focus(), line(dialog, "LE0"));
}

TEST_F(ProductsDialogTest, ReturnModeFromAnotherWindow) {
    WindowRegistry registry;
    registerCompanyProductWindows(registry, nullptr, prompt, services);
    ASSERT_TRUE(registry.has("AVINI"));
    ctx.table = "TA20";
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CompanyProductsDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto& form = dialog->form();
        const std::pair<const char*, const char*> values[] = {
            {"LE0", "AMBRATA"}, {"R10", "13"}, {"ME2", "B000-22030010-00-0000"}, {"LE3", "S"}, {"LE5", "SF"}};
        for (const auto& [name, text] : values) line(*dialog, name)->setText(QString::fromUtf8(text));
        QTest::mouseClick(dialog->confirmButton(), Qt::LeftButton);
        EXPECT_TRUE(form.closeRequested());
    });
    ASSERT_TRUE(registry.run(kProductReturn, ctx));
    EXPECT_EQ(ctx.enteredCode, "AMBRATA");
    EXPECT_TRUE(ctx.continuousEntry); // the caller's values come back
    EXPECT_EQ(ctx.table, "TA20");
    EXPECT_EQ(readTable(work.folders.table(kTable)).size(), 1u);
}

} // namespace
} // namespace accise
