#pragma once
// The Qt side of every entry window. A dialog creates its widgets with the control
// names of its logic class as object names, lays them out, and calls finishSetup().
// From then on this base does the conventions of all entry windows:
//  - Enter moves to the next control (the tab order is the logic's field order);
//  - the key filters of the fields (digits, signed integers, decimals with the live
//    regrouping of thousands), letter case, maximum lengths, edit masks, the beep;
//  - the check when the cursor leaves a field, which may put the cursor back;
//  - reaching the confirm button runs the confirm checks, and a failure cancels the
//    click; the click saves; "&Abbandona" (or Esc) closes without saving;
//  - the open guard (no checks until a key is typed) where the logic asks for it;
//  - the lookup keys of a coded field: F4 or Alt+Down opens its list as its button
//    does, F2 opens "Inserisce Nuovo Codice"; after a code chosen there the cursor
//    goes to the field after the coded one;
//  - Esc or "&Abbandona" on typed values asks "ABBANDONARE I DATI INSERITI ?" first;
//  - a description that follows its coded field as it is typed.
// The decisions (which check runs, whether a click saves, which keys count as typed)
// are the logic's (EntryFormLogic::cursorMoved, confirmPressed, runAction, keyPressed);
// this class only reports the cursor, the keys and the clicks to it.
// Widgets bound: QLineEdit (text; masked fields give their displayed text, "_" for
// missing positions), QComboBox (index), QGroupBox of QRadioButtons (index of the
// checked one), QPlainTextEdit (text), QLabel (shown only).
#include <QDialog>
#include <exception>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "logic/framework/entryform.h"

class QLabel;
class QPushButton;
class QLineEdit;

namespace accise {

class EntryDialog : public QDialog {
    Q_OBJECT
public:
    // `logic` may be a member of the derived dialog: it is used only from finishSetup() on.
    explicit EntryDialog(EntryFormLogic& logic, QWidget* parent = nullptr);
    ~EntryDialog() override;

    EntryFormLogic& logic() { return logic_; }
    // The widget of a control (the first radio button of a radio group).
    QWidget* control(std::string_view name) const;
    QPushButton* confirmButton() const { return confirm_; }
    QPushButton* abandonButton() const { return abandon_; }
    // The save line (LSALVATAGGIO): what the last confirmation saved, kept until the
    // next one. Added under the window's fields when its layout is a column; a
    // dialog laid out otherwise places it itself.
    QLabel* saveLine() const { return saveLine_; }

    // Shows the window modally; an error that aborted it is thrown again here, so the
    // command that opened it ends with the application's error display.
    int run();

    // Widget texts into the logic, and the logic's values back into the widgets.
    void pullValues();
    void pushValues();
    void focusControl(const std::string& name);

    // Width of a field that holds `chars` characters in the widget's font.
    static int widthForChars(const QWidget* widget, int chars, LetterCase letterCase = LetterCase::AsTyped);
    // A small button beside a field ("...", the new-code and browse buttons): it never
    // takes the cursor, so pressing it does not count as leaving the field.
    QPushButton* makeSideButton(const QString& caption, const QString& toolTip, const QString& objectName);
    // The usual "&CONFERMA" and "&Abbandona" buttons, named BCONF and BABBANDONA.
    QPushButton* makeConfirmButton();
    QPushButton* makeAbandonButton();
    // The side buttons of a coded field: F4 and Alt+Down in the field press `lookup`,
    // F2 presses `newCode` (either may be null), and the field's tooltip says so.
    // Call after the buttons' own clicked handlers are connected.
    void bindLookupKeys(std::string_view field, QPushButton* lookup, QPushButton* newCode = nullptr);

protected:
    // Binds the widgets to the logic's fields. Call once, after the widgets exist.
    void finishSetup(QPushButton* confirm, QPushButton* abandon);
    // Runs a window-specific action of the logic (a button): the widgets' texts go in
    // first, the values come back, and the control returned (if any) gets the cursor.
    void runAction(const std::function<std::optional<std::string>()>& action);

    // Called after the logic's values have been put into the widgets (after opening,
    // every check, every action): the place to show or hide what depends on them.
    // Safer than a slot on QApplication::focusChanged, which also fires while the
    // dialog is being destroyed.
    virtual void valuesShown() {}

    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

public slots:
    void reject() override;

private:
    void onFocusChanged(QWidget* old, QWidget* now);
    void onConfirmClicked();
    void applyLetterCase(QLineEdit* line, LetterCase letterCase);
    bool filterKey(QWidget* widget, const FieldSpec& fieldSpec, class QKeyEvent* key);
    std::string controlOf(const QWidget* widget) const;
    bool pressSideButton(std::string_view field, const QKeyEvent& key);
    // A description box shown again after its coded field changed while typing.
    void showFollowingDescription(const std::string& codeControl);
    // The control name of a field, kConfirmControl, kAbandonControl, or "".
    std::string cursorPlace(const QWidget* widget) const;
    bool belongsHere(const QWidget* widget) const;
    // Runs logic code; an exception closes the window and is kept for run().
    bool safely(const std::function<void()>& work);
    // The logic asked to close after a check or an action (an entry deleted on
    // leaving its field): the window closes as after a confirmation.
    bool closeWhenAsked();

    EntryFormLogic& logic_;
    QPushButton* confirm_ = nullptr;
    QPushButton* abandon_ = nullptr;
    QLabel* saveLine_ = nullptr;
    std::map<std::string, QWidget*, std::less<>> controls_;
    std::map<const QWidget*, std::string> widgetControls_;
    std::map<std::string, QPushButton*, std::less<>> lookupButtons_;
    std::map<std::string, QPushButton*, std::less<>> newCodeButtons_;
    bool handling_ = false;
    bool openedByRun_ = false;
    std::exception_ptr error_;
};

} // namespace accise
