#include "codetables/qt/editorbuttons.h"

#include <QHBoxLayout>
#include <QPushButton>

#include "framework/qt/formwidgets.h"

namespace accise {

QPushButton* listButton(QWidget* parent) { return plainButton(parent, QStringLiteral("&Elenca"), "BELENCA"); }

EditorButtonRow editorButtonRow(QWidget* parent, QPushButton* confirm, QPushButton* abandon) {
    EditorButtonRow row{plainButton(parent, QStringLiteral("Cance&lla"), "BCANCELLA"),
                        plainButton(parent, QStringLiteral("&Svuota"), "BSVUOTA"), new QHBoxLayout};
    row.layout->addWidget(row.remove);
    row.layout->addWidget(row.clear);
    row.layout->addStretch();
    row.layout->addWidget(confirm);
    row.layout->addWidget(abandon);
    return row;
}

} // namespace accise
