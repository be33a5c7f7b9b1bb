#pragma once
// The Qt side shared by the duty-record windows: a column of captioned fields, the
// confirm and abandon buttons, and the state the logic decides after every step
// (caption by mode, read-only fields in a correction, fields of the other profile
// hidden). The window initialises itself only when it is shown: a message box
// closing gives the focus back without touching what was typed.
#include <QString>
#include <initializer_list>
#include <map>
#include <string>

#include "logic/duty/dutywindow.h"
#include "qt/framework/entrydialog.h"

class QGridLayout;
class QLabel;
class QLineEdit;

namespace accise {

class DutyDialog : public EntryDialog {
    Q_OBJECT
public:
    // `logic` may be a member of the derived dialog: it is used only from build() on.
    DutyDialog(DutyWindowLogic& logic, const char* formName, QWidget* parent);

protected:
    // A line edit named after its control; amounts are aligned to the right.
    QLineEdit* makeField(const char* control, bool amount = false);
    // One row of the form: the caption, its field and what stands beside it.
    // Returns the caption.
    QLabel* addRow(const QString& caption, QWidget* field, std::initializer_list<QWidget*> beside = {});
    // Adds the buttons, binds the widgets and sizes the window. Call once, last.
    void build();

    void valuesShown() override;

private:
    DutyWindowLogic& duty_;
    QGridLayout* grid_ = nullptr;
    int rows_ = 0;
    std::map<std::string, QLabel*> captions_; // by control name
    std::map<std::string, QWidget*> besides_; // the widgets beside a field, hidden with it
};

} // namespace accise
