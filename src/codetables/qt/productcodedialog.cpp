#include "codetables/qt/productcodedialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include "codetables/qt/editorbuttons.h"

namespace accise {
namespace {

// The captions of the code's groups ("CPA", "NC", "Taric", "Cadd"), each placed
// above the first position of its group in the masked field, whatever the font.
QWidget* groupCaptions(QLineEdit* code) {
    auto* row = new QWidget(code->parentWidget());
    row->setAccessibleName(QString::fromUtf8(kProductCodeLabel));
    const QFontMetrics fm(code->font());
    // Where the field's text starts: its frame, the line edit's own margin of 2 pixels
    // and any text margin.
    const int start = code->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, code) + 2 +
                      code->textMargins().left();
    const QString shape = QStringLiteral("____-________-__-____");
    const std::pair<const char*, int> captions[] = {{"CPA", 0}, {"NC", 5}, {"Taric", 14}, {"Cadd", 17}};
    int height = 0;
    for (const auto& [caption, position] : captions) {
        auto* label = new QLabel(QString::fromLatin1(caption), row);
        label->setFont(code->font());
        label->adjustSize();
        label->move(start + fm.horizontalAdvance(shape.left(position)), 0);
        height = std::max(height, label->height());
    }
    row->setFixedHeight(height);
    return row;
}

} // namespace

ProductCodeDialog::ProductCodeDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent)
    : ProductCodeDialog(std::make_unique<ProductCodeEditor>(ctx, prompt, services), parent) {}

ProductCodeDialog::ProductCodeDialog(std::unique_ptr<ProductCodeEditor> logic, QWidget* parent)
    : EntryDialog(*logic, parent), editor_(std::move(logic)) {
    setObjectName(QStringLiteral("TFCODICI_NC"));
    setWindowTitle(QString::fromUtf8(kProductCodeTitle));

    QFont fixed(QStringLiteral("Courier New"));
    fixed.setStyleHint(QFont::TypeWriter);

    auto* code = new QLineEdit(this);
    code->setObjectName(QStringLiteral("ME0"));
    code->setFont(fixed);
    QWidget* groups = groupCaptions(code);
    list_ = listButton(this);
    auto* codeRow = new QHBoxLayout;
    codeRow->setSpacing(5);
    codeRow->addWidget(code);
    codeRow->addWidget(list_);
    codeRow->addStretch();

    auto* description = new QPlainTextEdit(this);
    description->setObjectName(QStringLiteral("Memo1"));
    description->setTabChangesFocus(true);
    description->setFixedHeight(QFontMetrics(description->font()).lineSpacing() * 4 + 12);
    auto* from = new QLineEdit(this);
    from->setObjectName(QStringLiteral("MDALLA"));
    auto* until = new QLineEdit(this);
    until->setObjectName(QStringLiteral("MALLA"));
    auto* fromLabel = new QLabel(QStringLiteral("Codice valido dal"), this);
    fromLabel->setBuddy(from);
    auto* untilLabel = new QLabel(QStringLiteral("al"), this);
    untilLabel->setBuddy(until);
    auto* dates = new QHBoxLayout;
    dates->addWidget(fromLabel);
    dates->addWidget(from);
    dates->addSpacing(12);
    dates->addWidget(untilLabel);
    dates->addWidget(until);
    dates->addStretch();

    unit_ = new QGroupBox(QStringLiteral("Unità di misura"), this);
    unit_->setObjectName(QStringLiteral("RUM"));
    auto* unitLayout = new QHBoxLayout(unit_);
    for (std::string_view name : kUnitNames) {
        auto* radio = new QRadioButton(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())), unit_);
        unitLayout->addWidget(radio);
        // Choosing a unit moves on to the next control.
        connect(radio, &QRadioButton::clicked, this, [this] { focusNextChild(); });
    }
    unitLayout->addStretch();

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
    layout->addWidget(groups);
    layout->addLayout(codeRow);
    layout->addWidget(new QLabel(QStringLiteral("Descrizione"), this));
    layout->addWidget(description);
    layout->addLayout(dates);
    layout->addWidget(unit_);
    layout->addWidget(modifyOrDelete_);
    layout->addStretch();
    layout->addLayout(buttons);
    finishSetup(confirm, abandon);

    refreshState();
    resize(std::max(560, sizeHint().width()), sizeHint().height());
}

void ProductCodeDialog::refreshState() {
    const bool loaded = editor_->rowLoaded();
    modifyOrDelete_->setVisible(loaded);
    delete_->setVisible(loaded);
    list_->setVisible(!loaded);
    // A reset leaves no unit chosen: the radio group shows none checked.
    if (editor_->value("RUM").empty()) {
        for (auto* radio : unit_->findChildren<QRadioButton*>()) {
            radio->setAutoExclusive(false);
            radio->setChecked(false);
            radio->setAutoExclusive(true);
        }
    }
}

void ProductCodeDialog::act(std::string (CodeEditorBase::*action)()) {
    runAction([this, action]() -> std::optional<std::string> { return ((*editor_).*action)(); });
}

} // namespace accise
