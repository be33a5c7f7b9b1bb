#include "qt/framework/guardeddialog.h"

#include <QTimer>
#include <utility>

namespace accise {

bool GuardedDialog::safely(const std::function<void()>& work) {
    try {
        work();
        return true;
    } catch (...) {
        error_ = std::current_exception();
        QTimer::singleShot(0, this, [this] { QDialog::done(QDialog::Rejected); });
        return false;
    }
}

void GuardedDialog::execAndRethrow() {
    exec();
    if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
}

} // namespace accise
