// The "Controllo dei registri" window used with the keyboard: the problems are listed
// when it opens, with the cursor in the list, and Alt+C opens the preview of the report.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include "core/tables/deliveredtables.h"
#include "logic/window_fixtures.h"
#include "qt/reportwindows/booksauditdialog.h"
#include "report_fixture.h"

namespace accise {
namespace {

using namespace accise::testing;

TEST(BooksAuditDialog, ListsTheProblemsAndOpensThePreviewFromTheKeyboard) {
    ReportFolder f;
    installDeliveredTables(f.folders);
    f.addRegister("103", 2, "10/01/2025", "01/01/2025", "31/12/2025", "BIRRA SFUSA");
    f.addStock(stockRecord("F", "2025", "103", "31/12/2024", 1000, 120));
    f.addMovement(litresMovement("F", "2025", "103", "05/03/2025", "S", 1100)); // -100 l on 05/03
    CommandContext ctx{f.folders};
    RecordingPrompt prompt;
    FakeServices services;

    BooksAuditDialog dialog(ctx, prompt, services);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    EXPECT_EQ(dialog.objectName(), QStringLiteral("TFCONTROLLO"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Controllo dei registri"));
    auto* list = dialog.findChild<QPlainTextEdit*>(QStringLiteral("ELENCO"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(QApplication::focusWidget(), list);
    EXPECT_TRUE(list->isReadOnly());
    // The file named as the system writes a path (on Windows "REGISTRI\\2025.RGM").
    const QString file = QString::fromStdString((std::filesystem::path("REGISTRI") / "2025.RGM").string());
    EXPECT_EQ(list->toPlainText(),
        file + QStringLiteral(": record 1 (n. 2): giacenza del registro F 103/2025 negativa a fine giornata "
                       "05/03/2025: QTALIT -100,00000"));
    auto* summary = dialog.findChild<QLabel*>(QStringLiteral("ESITO"));
    ASSERT_NE(summary, nullptr);
    EXPECT_EQ(summary->text(), QStringLiteral("1 problemi trovati"));

    // Alt+C: the preview, closed again as soon as it is up (a window that never shows
    // must not hang the test).
    QString previewClass;
    auto* timer = new QTimer(&dialog);
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == &dialog || !modal->isVisible()) return;
        timer->stop();
        previewClass = QString::fromLatin1(modal->metaObject()->className());
        modal->close();
    });
    timer->start();
    QTimer::singleShot(10000, [&] {
        if (QWidget* stuck = QApplication::activeModalWidget(); stuck && stuck != &dialog) stuck->close();
    });
    QTest::keyClick(list, Qt::Key_C, Qt::AltModifier);
    QTest::qWait(300); // the button's animated click, then the preview
    EXPECT_EQ(previewClass, QStringLiteral("QPrintPreviewDialog"));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(summary->text(), QStringLiteral("1 problemi trovati"));
    dialog.reject();
}

} // namespace
} // namespace accise
