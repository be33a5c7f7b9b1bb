// The packaging window typed into as a clerk would: a company product's bottles with
// process losses, the figures and the in-process stock shown, the records written
// and the window ready for the next packaging.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <map>

#include "core/books/movementfile.h"
#include "core/files/text1252.h"
#include "logic/window_fixtures.h"
#include "movement_fixture.h"
#include "qt/movements/packagingdialog.h"

namespace accise {
namespace {

using testing::FakeServices;
using testing::RecordingPrompt;
using testing::WorkingFolder;

QString textOf(EntryDialog& dialog, const char* control) {
    return qobject_cast<QLineEdit*>(dialog.control(control))->text();
}

TEST(PackagingDialogTest, BottlesTypedInAreLoadedAndUnloadedFromTheBeerInProcess) {
    WorkingFolder work;
    RecordingPrompt prompt;
    testing::writeBrewery(work.folders, prompt);
    prompt.messages.clear();
    CommandContext ctx = work.context();
    FakeServices services;
    WindowRegistry registry;

    PackagingDialog dialog(ctx, prompt, services, registry);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    ASSERT_EQ(QApplication::focusWidget(), dialog.control("DATMOV"));
    EXPECT_EQ(dialog.windowTitle(), "Condizionamento");
    EXPECT_EQ(textOf(dialog, "POSFIS"), "003");
    prompt.messages.clear(); // today lies beyond the fixture's registers

    const std::map<std::string, QString> values = {
        {"DATMOV", "01/03/2024"}, {"NUMDOC", "IMB 7"}, {"PRODAZ", "BIONDA33"}, {"INTER3", "1000"}, {"MCALI", "10"}};
    for (int step = 0; step < 40 && QApplication::focusWidget() != dialog.confirmButton(); ++step) {
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
    ASSERT_EQ(QApplication::focusWidget(), dialog.confirmButton());
    EXPECT_TRUE(prompt.messages.empty()) << prompt.messages.front();

    // What the product filled in and what the window computed.
    EXPECT_EQ(textOf(dialog, "PRODDO"), "B000-22030001-00-0000");
    EXPECT_EQ(textOf(dialog, "DOUBL1_3"), "330,00000");
    EXPECT_EQ(textOf(dialog, "DOUBL2"), "39,60000");
    EXPECT_EQ(textOf(dialog, "DOUBL7"), "118,40");
    EXPECT_EQ(textOf(dialog, "ACCISACALI"), "3,59");
    EXPECT_TRUE(qobject_cast<QLineEdit*>(dialog.control("DOUBL1_3"))->isReadOnly());
    EXPECT_EQ(dialog.labelOf("LTIPOREGISTRO")->text(), "Finiti condizionati");
    EXPECT_EQ(dialog.labelOf("LPROTOCOLLO")->text(), "protocollo:  FC1  del 01/01/2024");
    EXPECT_EQ(dialog.labelOf("LLAVORAZIONI")->text(), "protocollo: LAV1/2024 prodotto: B000-22030000-00-0000");
    EXPECT_EQ(dialog.labelOf("LMAX")->text(), "max 2.000 (Hlg 240)");
    EXPECT_TRUE(dialog.labelOf("LMAX")->isVisible());

    QTest::keyClick(dialog.confirmButton(), Qt::Key_Space);
    EXPECT_TRUE(prompt.messages.empty()) << prompt.messages.front();
    std::vector<std::string> reasons;
    for (Movement m : readMovements(work.folders.registerFile(2024))) {
        trimMovement(m);
        reasons.push_back(m.TIPREG + " " + m.TIPMOV + " " + m.CAUMOV);
    }
    EXPECT_EQ(reasons, (std::vector<std::string>{"N C 112", "L S 010", "L S 009"}));

    // Ready for the next one: the date stays, the stock shown is what is left.
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), dialog.control("DATMOV"));
    EXPECT_EQ(textOf(dialog, "DATMOV"), "01/03/2024");
    EXPECT_EQ(textOf(dialog, "INTER3"), "");
    EXPECT_DOUBLE_EQ(dialog.form().inProcess()->stock.QTALIT, 1660);
    // The most the next packaging can take shows with the list, before any figure.
    EXPECT_TRUE(dialog.labelOf("LMAX")->isVisible());
    EXPECT_EQ(dialog.labelOf("LMAX")->text(), "max 1.660 (Hlg 199)"); // 2 000 - 330 - 10 litres
}

} // namespace
} // namespace accise
