#include "qt/codetables/productcodedialog.h"

#include <QGridLayout>
#include <iterator>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include "qt/codetables/editorbuttons.h"

namespace accise {
namespace {

constexpr std::pair<const char*, int> kGroupCaptions[] = {{"CPA", 0}, {"NC", 5}, {"Taric", 14}, {"Cadd", 17}};
constexpr int kCodeLength = 21; // "cccc-00000000-cc-cccc"

QString codeShape() { return QStringLiteral("____-________-__-____"); }

// Where the field's text starts: its frame, the line edit's own margin of 2 pixels
// and any text margin.
int textStart(const QLineEdit* code) {
    return code->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, code) + 2 + code->textMargins().left();
}

// Spaces the code's characters so that each group is at least as wide as its
// caption ("Taric" over a group of two characters), then sizes the field to fit.
void spaceForCaptions(QLineEdit* code, const QFont& captionFont) {
    const QFontMetrics captions(captionFont);
    const QFontMetrics plain(code->font());
    const int cell = plain.horizontalAdvance(QLatin1Char('_'));
    int needed = cell;
    for (std::size_t i = 0; i < std::size(kGroupCaptions); ++i) {
        const int begin = kGroupCaptions[i].second;
        const int end = i + 1 < std::size(kGroupCaptions) ? kGroupCaptions[i + 1].second : kCodeLength + 1;
        const int width = captions.horizontalAdvance(QString::fromLatin1(kGroupCaptions[i].first) + QLatin1Char(' '));
        needed = std::max(needed, (width + (end - begin) - 1) / (end - begin));
    }
    QFont spaced = code->font();
    spaced.setLetterSpacing(QFont::AbsoluteSpacing, needed - cell);
    code->setFont(spaced);
}

// The captions of the code's groups ("CPA", "NC", "Taric", "Cadd"), each placed
// above the first position of its group in the masked field, whatever the font.
QWidget* groupCaptions(QLineEdit* code, const QFont& captionFont) {
    auto* row = new QWidget(code->parentWidget());
    row->setAccessibleName(QString::fromUtf8(kProductCodeLabel));
    const QFontMetrics fm(code->font());
    const int start = textStart(code);
    int height = 0;
    for (const auto& [caption, position] : kGroupCaptions) {
        auto* label = new QLabel(QString::fromLatin1(caption), row);
        label->setFont(captionFont);
        label->adjustSize();
        label->move(start + fm.horizontalAdvance(codeShape().left(position)), 0);
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
    spaceForCaptions(code, font());
    QWidget* groups = groupCaptions(code, font());
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
    // The spaced characters need more room than the field's length alone gives.
    code->setFixedWidth(std::max(code->width(), textStart(code) * 2 + QFontMetrics(code->font()).horizontalAdvance(codeShape()) +
                                                    QFontMetrics(code->font()).horizontalAdvance(QLatin1Char('_'))));

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
