#pragma once
// The transmission window on screen: a one-second timer drives the wait for the
// signed file while the window stays responsive; the environment choice appears once
// the file is there; the report box shows DETTAGLI.TXT and "Stampa" previews it.
#include <QTimer>

#include "logic/telematic/transmissionwindow.h"
#include "qt/framework/entrydialog.h"

class QGroupBox;
class QLabel;

namespace accise {

class TransmissionDialog : public EntryDialog {
    Q_OBJECT
public:
    // `busy` is where a service call says it waits: the dialog disables itself then.
    TransmissionDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, AgencyService& agency,
                       QWidget* parent = nullptr);
    TransmissionLogic& form() { return form_; }
    QTimer& waitTimer() { return timer_; }
    // Enables or disables the controls while a call to the service waits.
    void setBusy(bool busy);

public slots:
    void reject() override;

protected:
    void valuesShown() override;
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void startWaiting();
    void print();

    TransmissionLogic form_;
    QTimer timer_;
    QLabel* label1_ = nullptr;
    QLabel* label2_ = nullptr;
    QLabel* label3_ = nullptr;
    QLabel* label4_ = nullptr;
    QGroupBox* environment_ = nullptr;
};

} // namespace accise
