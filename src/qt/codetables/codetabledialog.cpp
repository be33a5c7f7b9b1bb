#include "qt/codetables/codetabledialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "qt/codetables/editorbuttons.h"

namespace accise {

CodeTableDialog::CodeTableDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, EditorMode mode,
                                 QWidget* parent)
    : CodeTableDialog(std::make_unique<CodeTableEditor>(ctx, prompt, services, mode), parent) {}

CodeTableDialog::CodeTableDialog(std::unique_ptr<CodeTableEditor> logic, QWidget* parent)
    : EntryDialog(*logic, parent), editor_(std::move(logic)) {
    setObjectName(QStringLiteral("TFCODICI"));
    setWindowTitle(QString::fromStdString(editor_->title()));

    auto* grid = new QGridLayout;
    QList<QLineEdit*> lines;
    for (int n = 1; n <= 4; ++n) {
        if (!editor_->fieldShown(n)) continue;
        auto* line = new QLineEdit(this);
        line->setObjectName(QStringLiteral("LE%1").arg(n));
        lines << line;
        auto* caption = new QLabel(QString::fromStdString(editor_->fieldCaption(n)), this);
        caption->setBuddy(line);
        grid->addWidget(caption, n - 1, 0);
        if (n != 1) {
            grid->addWidget(line, n - 1, 1, Qt::AlignLeft);
            continue;
        }
        // "&Elenca" 5 pixels to the right of the code.
        list_ = listButton(this);
        auto* codeRow = new QHBoxLayout;
        codeRow->setSpacing(5);
        codeRow->addWidget(line);
        codeRow->addWidget(list_);
        codeRow->addStretch();
        grid->addLayout(codeRow, 0, 1);
    }
    grid->setColumnStretch(1, 1);

    modifyOrDelete_ = modifyOrDeleteLabel(this);

    auto* confirm = makeConfirmButton();
    auto* abandon = makeAbandonButton();
    const EditorButtonRow row = editorButtonRow(this, confirm, abandon);
    delete_ = row.remove;
    auto* buttons = row.layout;
    connect(list_, &QPushButton::clicked, this, [this] { act(&CodeEditorBase::list); });
    connect(delete_, &QPushButton::clicked, this, [this] { act(&CodeEditorBase::remove); });
    connect(row.clear, &QPushButton::clicked, this, [this] { act(&CodeEditorBase::clear); });
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(modifyOrDelete_);
    layout->addStretch();
    layout->addLayout(buttons);
    finishSetup(confirm, abandon);

    refreshState();

    // finishSetup() sized the fields to their maximum lengths.
    int widestField = 0;
    for (QLineEdit* line : lines) widestField = std::max(widestField, std::max(line->minimumWidth(), line->width()));
    const QFontMetrics fm(font());
    const int width = editor_->windowWidth(fm.horizontalAdvance(QStringLiteral("WWWWWWWWWW")), widestField);
    resize(std::max(width, sizeHint().width()), std::max(editor_->windowHeight(), sizeHint().height()));
}

void CodeTableDialog::refreshState() {
    const bool loaded = editor_->rowLoaded();
    modifyOrDelete_->setVisible(loaded);
    delete_->setVisible(loaded);
    list_->setVisible(!loaded);
}

void CodeTableDialog::act(std::string (CodeEditorBase::*action)()) {
    runAction([this, action]() -> std::optional<std::string> { return ((*editor_).*action)(); });
}

} // namespace accise
