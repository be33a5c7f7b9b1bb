#pragma once
// The buttons both code-table editors share: "&Elenca" beside the code, and the
// row "Cance&lla", "&Svuota" … "&CONFERMA", "&Abbandona" at the bottom.
class QHBoxLayout;
class QLabel;
class QPushButton;
class QWidget;

namespace accise {

QPushButton* listButton(QWidget* parent); // "&Elenca" (BELENCA)
// "MODIFICA o CANCELLA" (LMODCANC), in bold red, shown while a row is loaded.
QLabel* modifyOrDeleteLabel(QWidget* parent);

struct EditorButtonRow {
    QPushButton* remove; // "Cance&lla" (BCANCELLA), shown while a row is loaded
    QPushButton* clear;  // "&Svuota" (BSVUOTA)
    QHBoxLayout* layout; // remove, clear, a stretch, then confirm and abandon
};
EditorButtonRow editorButtonRow(QWidget* parent, QPushButton* confirm, QPushButton* abandon);

} // namespace accise
