// The keys of the report preview: Ctrl+P prints through the print dialog, Ctrl+S saves
// a PDF through a save dialog, Esc closes; the caption is the report's title.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTest>

#include <QPainter>
#include <fstream>

#include "qt/reports/reportoutput.h"
#include "test_support.h"

namespace accise {
namespace {

void drawOnePage(PageCanvas& canvas) {
    canvas.setFont("Times New Roman", 10);
    canvas.text(100, 100, "Registro di prova");
}

std::string head(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string start(5, '\0');
    in.read(start.data(), 5);
    return in ? start : std::string();
}

TEST(ReportPreview, CtrlPPrintsCtrlSSavesAPdfAndEscCloses) {
    testing::TempDir dir;
    const std::filesystem::path printed = dir.path() / "stampato.pdf";
    const std::filesystem::path saved = dir.path() / "salvato.pdf";
    QString proposed;
    QStringList told;
    int printerAsked = 0;
    PreviewChoices choices;
    choices.printer = [&](QPrinter& printer, QWidget*) {
        ++printerAsked;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(printed.string()));
        return true;
    };
    choices.pdfFile = [&](QWidget*, const QString& offered) {
        proposed = offered;
        return QString::fromStdString(saved.string());
    };
    choices.tell = [&](QWidget*, const QString& text) { told << text; };

    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog preview(&printer);
    const QString title = QStringLiteral("Registro F 103-2025 dal 01/03/2025 al 31/03/2025");
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [](QPrinter* target) {
        QPainter painter(target);
        painter.drawText(100, 100, QStringLiteral("Registro di prova"));
    });
    addPreviewKeys(preview, PageOrientation::Landscape, drawOnePage, title, choices);
    preview.show();
    QApplication::setActiveWindow(&preview);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&preview));
    EXPECT_EQ(preview.windowTitle(), title);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(printerAsked, 1);
    EXPECT_EQ(head(printed), "%PDF-");

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
    // The proposal is the title made a file name: the dates' slashes cannot stay.
    EXPECT_TRUE(proposed.endsWith(QStringLiteral("Registro F 103-2025 dal 01_03_2025 al 31_03_2025.pdf")))
        << proposed.toStdString();
    EXPECT_EQ(head(saved), "%PDF-");
    EXPECT_EQ(told, QStringList{QStringLiteral("PDF salvato in: ") + QString::fromStdString(saved.string())});

    EXPECT_TRUE(preview.isVisible());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(preview.isVisible());
}

} // namespace
} // namespace accise
