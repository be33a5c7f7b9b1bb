#include "qt/framework/entrydialog.h"

#include <algorithm>
#include <memory>

#include <QApplication>
#include <QBoxLayout>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "core/files/text1252.h"
#include "core/tables/keyfilters.h"
#include "logic/framework/inputmask.h"

namespace accise {
namespace {

constexpr int kToolTipMs = 7000;
// Fields up to this length get exactly their width; longer ones stretch with the window.
constexpr int kFixedWidthLimit = 24;

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// The data files hold Windows-1252 texts: a character they cannot hold is never typed.
bool storable(const QString& text) {
    return fitsIn1252(text.toStdString());
}

// What a paste leaves in a field, less the characters the files cannot hold.
QString storablePart(const QString& text) {
    QString kept;
    for (const char32_t c : text.toUcs4()) {
        const QString one = QString::fromUcs4(&c, 1);
        if (storable(one)) kept += one;
    }
    return kept;
}

QList<QRadioButton*> radiosOf(const QGroupBox* box) {
    return box->findChildren<QRadioButton*>(QString(), Qt::FindDirectChildrenOnly);
}

// Resets a flag when the scope ends, also on an exception.
class Busy {
public:
    explicit Busy(bool& flag) : flag_(flag), previous_(flag) { flag_ = true; }
    ~Busy() { flag_ = previous_; }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    bool& flag_;
    bool previous_;
};

// What a key pressed in a field is, for the logic's rule of which keys count as typed.
FieldKey fieldKeyOf(const QKeyEvent& key) {
    switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return FieldKey::Enter;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return FieldKey::Tab;
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        return FieldKey::Erase;
    default:
        break;
    }
    const Qt::KeyboardModifiers shortcut = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if ((key.modifiers() & shortcut) || key.text().isEmpty() || !key.text().at(0).isPrint())
        return FieldKey::Other;
    return FieldKey::Character;
}

// A toolkit mask that also converts the letters' case (">" capitals, "<" lower case).
QString maskWithLetterCase(const std::string& mask, LetterCase letterCase) {
    switch (letterCase) {
    case LetterCase::Upper:
        return QStringLiteral(">") + QString::fromStdString(mask);
    case LetterCase::Lower:
        return QStringLiteral("<") + QString::fromStdString(mask);
    default:
        return QString::fromStdString(mask);
    }
}

} // namespace

EntryDialog::EntryDialog(EntryFormLogic& logic, QWidget* parent) : QDialog(parent), logic_(logic) {
    // The logic object may belong to the derived dialog and not exist yet: no use of it here.
    connect(qApp, &QApplication::focusChanged, this, &EntryDialog::onFocusChanged);
}

EntryDialog::~EntryDialog() {
    // The widgets below give up the focus while they are destroyed: not a field left.
    disconnect(qApp, &QApplication::focusChanged, this, &EntryDialog::onFocusChanged);
}

QWidget* EntryDialog::control(std::string_view name) const {
    const auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : it->second;
}

int EntryDialog::run() {
    // Opened before it is shown: a window that must close at once (its table's
    // structure file is missing) shows its message and never appears.
    logic_.open();
    openedByRun_ = true;
    if (logic_.closeRequested()) return QDialog::Rejected;
    const int result = exec();
    if (error_) {
        auto error = error_;
        error_ = nullptr;
        std::rethrow_exception(error);
    }
    return result;
}

int EntryDialog::widthForChars(const QWidget* widget, int chars, LetterCase letterCase) {
    const QFontMetrics fm(widget->font());
    // Capitals are wider than the average letter; the frame and margins add a little.
    const int perChar =
        letterCase == LetterCase::Upper ? fm.horizontalAdvance(QChar('N')) : fm.averageCharWidth() + 1;
    return perChar * (chars + 1) + 12;
}

QPushButton* EntryDialog::makeSideButton(const QString& caption, const QString& toolTip,
                                         const QString& objectName) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(objectName);
    button->setToolTip(toolTip);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoDefault(false);
    const QFontMetrics fm(button->font());
    button->setFixedWidth(std::max(fm.horizontalAdvance(caption) + 16, 28));
    return button;
}

QPushButton* EntryDialog::makeConfirmButton() {
    auto* button = new QPushButton(QStringLiteral("&CONFERMA"), this);
    button->setObjectName(QStringLiteral("BCONF"));
    return button;
}

QPushButton* EntryDialog::makeAbandonButton() {
    auto* button = new QPushButton(QStringLiteral("&Abbandona"), this);
    button->setObjectName(QStringLiteral("BABBANDONA"));
    return button;
}

void EntryDialog::bindLookupKeys(std::string_view field, QPushButton* lookup, QPushButton* newCode) {
    auto* widget = findChild<QWidget*>(QString::fromUtf8(field.data(), static_cast<int>(field.size())));
    QStringList keys;
    if (lookup) {
        lookupButtons_[std::string(field)] = lookup;
        keys << QStringLiteral("F4 (o Alt+Freccia giù): ") + lookup->toolTip();
        // After a code chosen in the list the cursor moves on to the next field, as
        // Enter would (with the field's check); a list closed without a choice leaves it.
        auto before = std::make_shared<QString>();
        const auto shown = [widget]() {
            auto* line = qobject_cast<QLineEdit*>(widget);
            return line ? (line->inputMask().isEmpty() ? line->text() : line->displayText()) : QString();
        };
        connect(lookup, &QPushButton::pressed, this, [before, shown] { *before = shown(); });
        connect(lookup, &QPushButton::clicked, this, [this, widget, before, shown] {
            if (!widget || !isVisible() || focusWidget() != widget) return;
            const QString now = shown();
            if (now != *before && !now.trimmed().isEmpty()) focusNextChild();
        });
    }
    if (newCode) {
        newCodeButtons_[std::string(field)] = newCode;
        keys << QStringLiteral("F2: ") + newCode->toolTip();
    }
    if (widget && !keys.isEmpty()) {
        const QString before = widget->toolTip();
        widget->setToolTip((before.isEmpty() ? QString() : before + QLatin1Char('\n')) + keys.join(QLatin1Char('\n')));
    }
}

bool EntryDialog::pressSideButton(std::string_view field, const QKeyEvent& key) {
    const bool down = key.key() == Qt::Key_Down && (key.modifiers() & Qt::AltModifier);
    const auto& buttons = key.key() == Qt::Key_F2 ? newCodeButtons_ : lookupButtons_;
    if (key.key() != Qt::Key_F2 && key.key() != Qt::Key_F4 && !down) return false;
    const auto it = buttons.find(field);
    if (it == buttons.end()) return false;
    if (it->second->isEnabled()) it->second->click();
    else QApplication::beep();
    return true;
}

void EntryDialog::showFollowingDescription(const std::string& codeControl) {
    const std::string* description = logic_.followingDescription(codeControl);
    if (!description) return;
    if (auto* line = qobject_cast<QLineEdit*>(control(*description))) {
        line->setText(qs(logic_.value(*description)));
        line->setCursorPosition(0);
    } else if (auto* label = qobject_cast<QLabel*>(control(*description))) {
        label->setText(qs(logic_.value(*description)));
    }
}

void EntryDialog::finishSetup(QPushButton* confirm, QPushButton* abandon) {
    setWindowTitle(qs(logic_.title()));
    confirm_ = confirm;
    abandon_ = abandon;
    QList<QWidget*> chain;
    saveLine_ = new QLabel(this);
    saveLine_->setObjectName(QStringLiteral("LSALVATAGGIO"));
    saveLine_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Its height is kept while empty, so the first save does not move the window's fields.
    saveLine_->setMinimumHeight(saveLine_->fontMetrics().height());
    if (auto* column = qobject_cast<QBoxLayout*>(layout())) column->addWidget(saveLine_);
    for (const FieldSpec& fieldSpec : logic_.fields()) {
        auto* widget = findChild<QWidget*>(qs(fieldSpec.control));
        if (!widget) continue;
        controls_.emplace(fieldSpec.control, widget);
        if (auto* box = qobject_cast<QGroupBox*>(widget)) {
            const auto radios = radiosOf(box);
            if (!radios.isEmpty()) controls_[fieldSpec.control] = radios.front();
            for (QRadioButton* radio : radios) {
                widgetControls_.emplace(radio, fieldSpec.control);
                connect(radio, &QRadioButton::clicked, this, [this] { logic_.keyTyped(); });
                radio->installEventFilter(this);
                chain.append(radio);
            }
            continue;
        }
        widgetControls_.emplace(widget, fieldSpec.control);
        if (auto* line = qobject_cast<QLineEdit*>(widget)) {
            if (!fieldSpec.mask.empty()) {
                // The mask converts the case itself, keeping its empty positions.
                line->setInputMask(maskWithLetterCase(toolkitInputMask(fieldSpec.mask), fieldSpec.letterCase));
            } else if (fieldSpec.maxLength > 0) {
                line->setMaxLength(fieldSpec.maxLength);
            }
            if (fieldSpec.maxLength > 0 && fieldSpec.maxLength <= kFixedWidthLimit)
                line->setFixedWidth(widthForChars(line, fieldSpec.maxLength, fieldSpec.letterCase));
            else if (fieldSpec.maxLength > kFixedWidthLimit)
                line->setMinimumWidth(widthForChars(line, std::min(fieldSpec.maxLength, 40), fieldSpec.letterCase));
            if (fieldSpec.readOnly) {
                line->setReadOnly(true);
                line->setFocusPolicy(Qt::NoFocus);
            }
            connect(line, &QLineEdit::textEdited, this, [line](const QString& text) {
                if (storable(text)) return;
                QApplication::beep();
                const int cursor = line->cursorPosition();
                line->setText(storablePart(text));
                line->setCursorPosition(std::min(cursor, static_cast<int>(line->text().size())));
            });
            if (fieldSpec.letterCase != LetterCase::AsTyped && fieldSpec.mask.empty()) {
                const LetterCase letterCase = fieldSpec.letterCase;
                connect(line, &QLineEdit::textEdited, this,
                        [this, line, letterCase] { applyLetterCase(line, letterCase); });
            }
            if (logic_.followingDescription(fieldSpec.control)) {
                const std::string name = fieldSpec.control;
                connect(line, &QLineEdit::textEdited, this, [this, line, name] {
                    if (handling_) return;
                    logic_.setValue(name, (line->inputMask().isEmpty() ? line->text() : line->displayText()).toStdString());
                    showFollowingDescription(name);
                });
            }
        }
        // Choosing from a list counts as typing (the open guard).
        if (auto* combo = qobject_cast<QComboBox*>(widget))
            connect(combo, &QComboBox::activated, this, [this] { logic_.keyTyped(); });
        if (widget->focusPolicy() != Qt::NoFocus) {
            widget->installEventFilter(this);
            chain.append(widget);
        }
    }
    if (confirm_) {
        confirm_->setAutoDefault(true);
        confirm_->setDefault(false);
        chain.append(confirm_);
        connect(confirm_, &QPushButton::clicked, this, &EntryDialog::onConfirmClicked);
    }
    if (abandon_) {
        abandon_->setAutoDefault(true);
        chain.append(abandon_);
        connect(abandon_, &QPushButton::clicked, this, &EntryDialog::reject);
    }
    for (int i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
    for (QWidget* child : findChildren<QWidget*>())
        if (!child->toolTip().isEmpty()) child->setToolTipDuration(kToolTipMs);
}

std::string EntryDialog::controlOf(const QWidget* widget) const {
    const auto it = widgetControls_.find(widget);
    return it == widgetControls_.end() ? std::string() : it->second;
}

std::string EntryDialog::cursorPlace(const QWidget* widget) const {
    if (widget && widget == confirm_) return std::string(kConfirmControl);
    if (widget && widget == abandon_) return std::string(kAbandonControl);
    return controlOf(widget);
}

bool EntryDialog::belongsHere(const QWidget* widget) const {
    return widget && widget->window() == this;
}

void EntryDialog::pullValues() {
    for (const auto& [name, widget] : controls_) {
        if (auto* line = qobject_cast<QLineEdit*>(widget)) {
            const QString text = line->inputMask().isEmpty() ? line->text() : line->displayText();
            logic_.setValue(name, text.toStdString());
        } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            logic_.setValue(name, std::to_string(combo->currentIndex()));
        } else if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
            const auto radios = radiosOf(qobject_cast<QGroupBox*>(radio->parentWidget()));
            std::string index;
            for (int i = 0; i < radios.size(); ++i)
                if (radios[i]->isChecked()) index = std::to_string(i);
            logic_.setValue(name, index);
        } else if (auto* memo = qobject_cast<QPlainTextEdit*>(widget)) {
            logic_.setValue(name, memo->toPlainText().toStdString());
        }
    }
}

void EntryDialog::pushValues() {
    for (const auto& [name, widget] : controls_) {
        const QString value = qs(logic_.value(name));
        if (auto* line = qobject_cast<QLineEdit*>(widget)) {
            const QString shown = line->inputMask().isEmpty() ? line->text() : line->displayText();
            if (shown == value) continue;
            line->setText(value);
            // A box that is only shown starts at the beginning of a long text.
            if (line->isReadOnly()) line->setCursorPosition(0);
            // The logic keeps the value in the form the next reading will give (a
            // masked field's empty positions): showing it changed nothing.
            const QString now = line->inputMask().isEmpty() ? line->text() : line->displayText();
            logic_.syncValue(name, now.toStdString());
        } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            bool ok = false;
            const int index = value.toInt(&ok);
            if (ok && index != combo->currentIndex()) combo->setCurrentIndex(index);
        } else if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
            const auto radios = radiosOf(qobject_cast<QGroupBox*>(radio->parentWidget()));
            bool ok = false;
            const int index = value.toInt(&ok);
            if (ok && index >= 0 && index < radios.size()) radios[index]->setChecked(true);
        } else if (auto* memo = qobject_cast<QPlainTextEdit*>(widget)) {
            if (memo->toPlainText() != value) memo->setPlainText(value);
        } else if (auto* label = qobject_cast<QLabel*>(widget)) {
            label->setText(value);
        }
    }
    if (saveLine_ && saveLine_->text() != qs(logic_.savedNotice())) {
        saveLine_->setText(qs(logic_.savedNotice()));
    }
    valuesShown();
}

void EntryDialog::focusControl(const std::string& name) {
    QWidget* widget = control(name);
    if (!widget) return;
    if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
        for (QRadioButton* r : radiosOf(qobject_cast<QGroupBox*>(radio->parentWidget())))
            if (r->isChecked()) widget = r;
    }
    Busy busy(handling_);
    widget->setFocus(Qt::OtherFocusReason);
    if (auto* line = qobject_cast<QLineEdit*>(widget)) line->selectAll();
}

bool EntryDialog::safely(const std::function<void()>& work) {
    try {
        work();
        return true;
    } catch (...) {
        error_ = std::current_exception();
        QTimer::singleShot(0, this, [this] { QDialog::done(QDialog::Rejected); });
        return false;
    }
}

void EntryDialog::runAction(const std::function<std::optional<std::string>()>& action) {
    if (handling_) return;
    Busy busy(handling_);
    std::optional<std::string> target;
    pullValues();
    // The side buttons never take the cursor: it is still in the field the action may
    // send it away from, and that field then gets its leave check.
    const std::string cursorAt = cursorPlace(focusWidget());
    if (!safely([&] { target = logic_.runAction(cursorAt, action); })) return;
    pushValues();
    if (closeWhenAsked()) return;
    if (target) focusControl(*target);
}

void EntryDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    Busy busy(handling_);
    if (!openedByRun_ && !safely([&] { logic_.open(); })) return;
    openedByRun_ = false;
    pushValues();
    if (logic_.closeRequested()) {
        QTimer::singleShot(0, this, [this] { QDialog::done(QDialog::Rejected); });
        return;
    }
    focusControl(logic_.focusAfterOpen());
}

bool EntryDialog::closeWhenAsked() {
    if (!logic_.closeRequested() || !isVisible()) return false;
    accept();
    return true;
}

void EntryDialog::reject() {
    if (!handling_) {
        Busy busy(handling_);
        pullValues();
        bool closing = true;
        if (!safely([&] { closing = logic_.abandonConfirmed(); })) return;
        if (!closing) return; // No: the window stays as it was, the cursor where it was
    }
    logic_.abandon();
    QDialog::reject();
}

void EntryDialog::onFocusChanged(QWidget* old, QWidget* now) {
    // Only a move between two controls of this window counts: focus coming back
    // after a message box or from another window is not the user leaving a field.
    if (!isVisible()) return;
    // Only the field with the cursor shows its text selected: a field the cursor went
    // through (on its way to a message, then back) must not look as if it had it.
    if (auto* line = qobject_cast<QLineEdit*>(old); line && belongsHere(old)) line->deselect();
    if (handling_ || !belongsHere(old) || !belongsHere(now)) return;
    const std::string from = cursorPlace(old);
    const std::string to = cursorPlace(now);
    if (from == to) return; // within one radio group, or between two other buttons
    Busy busy(handling_);
    pullValues();
    std::optional<std::string> target;
    if (!safely([&] { target = logic_.cursorMoved(from, to); })) return;
    pushValues();
    if (closeWhenAsked()) return;
    if (target) focusControl(*target);
}

void EntryDialog::onConfirmClicked() {
    if (handling_) return;
    Busy busy(handling_);
    pullValues();
    std::optional<std::string> target;
    if (!safely([&] { target = logic_.confirmPressed(); })) return;
    pushValues();
    if (logic_.closeRequested()) {
        accept();
        return;
    }
    if (target) focusControl(*target);
}

void EntryDialog::applyLetterCase(QLineEdit* line, LetterCase letterCase) {
    const std::string text = line->text().toStdString();
    std::string converted;
    switch (letterCase) {
    case LetterCase::AsTyped:
        return;
    case LetterCase::Upper:
        converted = toUpperAscii(text);
        break;
    case LetterCase::Lower:
        converted = toLowerAscii(text);
        break;
    case LetterCase::FirstCapital:
        converted = capitalizeFirst(text);
        break;
    }
    if (converted == text) return;
    const int cursor = line->cursorPosition();
    line->setText(qs(converted));
    line->setCursorPosition(cursor);
}

bool EntryDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    const std::string name = controlOf(widget);
    const FieldSpec* fieldSpec = name.empty() ? nullptr : logic_.field(name);
    if (!fieldSpec) return QDialog::eventFilter(watched, event);

    auto* key = static_cast<QKeyEvent*>(event);
    if (pressSideButton(name, *key)) return true;
    logic_.keyPressed(fieldKeyOf(*key));
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        focusNextChild();
        return true;
    }
    return filterKey(widget, *fieldSpec, key);
}

bool EntryDialog::filterKey(QWidget* widget, const FieldSpec& fieldSpec, QKeyEvent* key) {
    auto* line = qobject_cast<QLineEdit*>(widget);
    if (!key->text().isEmpty() && key->text().at(0).isPrint() && !storable(key->text())) {
        QApplication::beep();
        return true;
    }
    if (auto* memo = qobject_cast<QPlainTextEdit*>(widget)) {
        // A memo with a maximum length refuses a character typed when it is full.
        const bool character = !key->text().isEmpty() && key->text().at(0).isPrint();
        if (fieldSpec.maxLength > 0 && character && !memo->textCursor().hasSelection() &&
            memo->toPlainText().size() >= fieldSpec.maxLength) {
            QApplication::beep();
            return true;
        }
        return false;
    }
    if (!line || line->isReadOnly() || fieldSpec.filter == KeyFilter::NextField) return false;
    if (key->key() == Qt::Key_Delete) return false;

    char32_t typed;
    if (key->key() == Qt::Key_Backspace)
        typed = kBackspaceKey;
    else if (key->text().isEmpty() || !key->text().at(0).isPrint())
        return false; // cursor movement, Tab, Esc and shortcuts keep their usual meaning
    else
        typed = key->text().toUcs4().front();

    QString current = line->text();
    if (line->hasSelectedText()) current.remove(line->selectionStart(), line->selectedText().size());
    std::string plain = current.toStdString();
    if (fieldSpec.filter == KeyFilter::Decimal) plain = removeGrouping(plain);

    const KeyOutcome outcome = accise::filterKey(fieldSpec.filter, plain, typed);
    if (outcome.kind == KeyOutcome::Reject) {
        QApplication::beep();
        return true;
    }
    if (outcome.kind == KeyOutcome::MoveNext) {
        focusNextChild();
        return true;
    }
    if (fieldSpec.filter != KeyFilter::Decimal) return false;

    // Decimal fields are edited on their plain digits and regrouped after every key.
    if (typed == kBackspaceKey) {
        if (!line->hasSelectedText() && !plain.empty()) plain.pop_back();
    } else {
        plain += QString::fromUcs4(&outcome.key, 1).toStdString();
    }
    const QString regrouped = qs(regroupDecimalEntry(plain));
    if (fieldSpec.maxLength > 0 && regrouped.size() > fieldSpec.maxLength) {
        QApplication::beep();
        return true;
    }
    line->setText(regrouped);
    line->end(false);
    return true;
}

} // namespace accise
