#include "qt/codetables/editorbuttons.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "logic/codetables/codeeditorbase.h"
#include "qt/framework/formwidgets.h"

namespace accise {

QPushButton* listButton(QWidget* parent) { return plainButton(parent, QStringLiteral("&Elenca"), "BELENCA"); }

QLabel* modifyOrDeleteLabel(QWidget* parent) {
    auto* label = new QLabel(QString::fromUtf8(kModifyOrDelete), parent);
    label->setObjectName(QStringLiteral("LMODCANC"));
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setStyleSheet(QStringLiteral("color: #b00000;"));
    return label;
}

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
