// The movement window typed into as a clerk would: a load and an unload, each in its
// colours and captions, saved, and the window reset between them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <map>

#include "core/books/movementfile.h"
#include "logic/window_fixtures.h"
#include "movement_fixture.h"
#include "qt/movements/movemententrydialog.h"

namespace accise {
namespace {

using testing::FakeServices;
using testing::RecordingPrompt;
using testing::WorkingFolder;

class MovementDialogTest : public ::testing::Test {
protected:
    MovementDialogTest() {
        testing::writeBrewery(work.folders, prompt);
        prompt.messages.clear();
    }
    // Types each value into the field that has the cursor, Enter after each, until the
    // cursor reaches the confirm button; fields without a value keep theirs.
    void typeUntilConfirm(MovementEntryDialog& dialog, const std::map<std::string, QString>& values) {
        for (int step = 0; step < 80 && QApplication::focusWidget() != dialog.confirmButton(); ++step) {
            QWidget* widget = QApplication::focusWidget();
            ASSERT_NE(widget, nullptr);
            const auto it = values.find(widget->objectName().toStdString());
            auto* line = qobject_cast<QLineEdit*>(widget);
            if (it != values.end() && line) {
                if (!line->inputMask().isEmpty()) {
                    line->setText(it->second); // a masked field: the mask places what is typed
                } else {
                    line->selectAll();
                    QTest::keyClicks(line, it->second);
                }
            }
            QTest::keyClick(widget, Qt::Key_Return);
        }
        ASSERT_EQ(QApplication::focusWidget(), dialog.confirmButton()) << prompt.messages.size();
    }
    static QColor background(QWidget& w) { return w.palette().color(QPalette::Window); }

    WorkingFolder work;
    CommandContext ctx = work.context();
    RecordingPrompt prompt;
    FakeServices services;
    WindowRegistry registry;
};

TEST_F(MovementDialogTest, LoadAndUnloadTypedInTheirColours) {
    MovementEntryDialog dialog(ctx, prompt, services, registry);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    ASSERT_EQ(QApplication::focusWidget(), dialog.control("TIPMOV"));

    // A load of malt from the supplier.
    typeUntilConfirm(dialog, {{"TIPMOV", "C"},
                              {"DATMOV", "05/03/2024"},
                              {"TIPDOC", "DDT"},
                              {"DATDOC", "04/03/2024"},
                              {"NUMDOC", "DDT 55"},
                              {"PRODDO", "M000-11071099-00-0000"},
                              {"TIPSTO", "S"},
                              {"CAUMOV", "105"},
                              {"DOUBL1_3", "1200"},
                              {"MITDES", testing::kSupplierExcise}});
    EXPECT_EQ(dialog.windowTitle(), "Movimento di CARICO");
    EXPECT_EQ(background(dialog), QColor(231, 254, 254));
    EXPECT_EQ(dialog.labelOf("LMOVIMENTO")->text(), "CARICO");
    EXPECT_EQ(dialog.labelOf("LDATMOV")->text(), "Data carico");
    EXPECT_EQ(dialog.labelOf("LMITDES")->text(), "Mittente");
    EXPECT_EQ(dialog.labelOf("LDOUBL1_3")->text(), "Totale KG.");
    EXPECT_FALSE(dialog.control("DOUBL5")->isVisible());
    EXPECT_FALSE(dialog.control("INTER3")->isVisible());
    EXPECT_FALSE(dialog.labelOf("LMAX")->isVisible());
    QTest::keyClick(dialog.confirmButton(), Qt::Key_Space);
    EXPECT_TRUE(prompt.messages.empty()) << prompt.messages.front();
    ASSERT_EQ(readMovements(work.folders.registerFile(2024)).size(), 1u);
    EXPECT_TRUE(dialog.isVisible()); // reset for the next movement
    EXPECT_EQ(QApplication::focusWidget(), dialog.control("TIPMOV"));
    EXPECT_EQ(qobject_cast<QLineEdit*>(dialog.control("TIPMOV"))->text(), "");

    // An unload of bulk beer released for consumption: the stock shows, the excise is computed.
    typeUntilConfirm(dialog, {{"TIPMOV", "S"},
                              {"TIPDOC", "DAS"},
                              {"NUMDOC", "F-9"},
                              {"PRODDO", "B000-22030010-00-0000"},
                              {"TIPSTO", "S"},
                              {"DOUBL5", "12"},
                              {"CAUMOV", "071"},
                              {"DOUBL1_3", "1000"},
                              {"POSFIS", "001"},
                              {"MITDES", testing::kClientExcise}});
    EXPECT_EQ(dialog.windowTitle(), "Movimento di SCARICO");
    EXPECT_EQ(background(dialog), QColor(245, 241, 188));
    EXPECT_EQ(dialog.labelOf("LMOVIMENTO")->text(), "SCARICO");
    EXPECT_EQ(dialog.labelOf("LDATMOV")->text(), "Data scarico");
    EXPECT_EQ(dialog.labelOf("LMITDES")->text(), "Destinatario");
    EXPECT_EQ(dialog.labelOf("LCODPAE")->text(), "Paese di destinazione");
    EXPECT_EQ(dialog.labelOf("LDOUBL7")->text(), "Accisa da dichiarare nel riepilogo dei tributi");
    EXPECT_TRUE(dialog.labelOf("LMAX")->isVisible());
    EXPECT_EQ(dialog.labelOf("LMAX")->text(), "max 1.000 (Hlg 120)");
    EXPECT_EQ(qobject_cast<QLineEdit*>(dialog.control("DOUBL7"))->text(), "358,80");
    EXPECT_EQ(dialog.labelOf("LPROTOCOLLO")->text(), "protocollo:  FS1  del 01/01/2024");
    QTest::keyClick(dialog.confirmButton(), Qt::Key_Space);
    EXPECT_TRUE(prompt.messages.empty()) << prompt.messages.front();
    const auto records = readMovements(work.folders.registerFile(2024));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].TIPMOV, "S");
    EXPECT_DOUBLE_EQ(records[1].ACCISA, 358.8);
    EXPECT_EQ(formatDate(records[1].DATMOV), "05/03/2024"); // the date stayed from the load
    dialog.reject();
}

} // namespace
} // namespace accise

namespace accise {
namespace {

TEST(ProductPhoto, KeepsTheFrameHeightAndFollowsThePicturesProportion) {
    testing::TempDir dir;
    const std::string wide = (dir.path() / "wide.png").string();
    ASSERT_TRUE(QImage(200, 100, QImage::Format_RGB32).save(QString::fromStdString(wide)));
    QWidget window;
    ProductPhoto photo(&window);
    EXPECT_EQ(photo.objectName(), "FOTO");
    EXPECT_EQ(photo.size(), QSize(107, 107)); // the empty frame is square
    photo.showFile(wide);
    EXPECT_EQ(photo.size(), QSize(214, 107));
    EXPECT_FALSE(photo.pixmap().isNull());
    photo.showFile((dir.path() / "missing.png").string()); // unreadable: the empty frame again
    EXPECT_EQ(photo.size(), QSize(107, 107));
    EXPECT_TRUE(photo.pixmap().isNull());
}

} // namespace
} // namespace accise
