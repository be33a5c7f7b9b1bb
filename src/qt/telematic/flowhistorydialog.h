#pragma once
// The sent flows window on screen: the year, the list of flows (model/view), the
// outcome report of the chosen flow and the row actions. Keyboard: in the list Enter
// shows the outcome, I sends, E asks the outcome again, M shows it, R reactivates;
// the buttons carry the same letters with Alt.
#include <QDialog>

#include "logic/telematic/flowhistorywindow.h"

class QLineEdit;
class QPlainTextEdit;
class QStandardItemModel;
class QTableView;

namespace accise {

class FlowHistoryDialog : public QDialog {
    Q_OBJECT
public:
    FlowHistoryDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, AgencyService& agency,
                      QWidget* parent = nullptr);

    FlowHistoryLogic& logic() { return logic_; }
    QTableView* list() const { return list_; }
    void run() { exec(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Action { Send, AskOutcome, ShowOutcome, Reactivate };
    void act(Action action);
    void fill();
    void showDetails();

    FlowHistoryLogic logic_;
    QLineEdit* year_ = nullptr;
    QTableView* list_ = nullptr;
    QStandardItemModel* model_ = nullptr;
    QPlainTextEdit* details_ = nullptr;
};

} // namespace accise
