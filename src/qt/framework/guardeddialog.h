#pragma once
// A dialog whose logic may throw (an unreadable file, a full disk): the error closes
// the window and is thrown again where the window was opened, so the command that
// opened it ends with the application's error display. For the list windows that are
// not entry forms; EntryDialog does the same for entry windows.
#include <QDialog>
#include <exception>
#include <functional>

namespace accise {

class GuardedDialog : public QDialog {
public:
    using QDialog::QDialog;

protected:
    // Runs logic code; an exception closes the window and is kept for execAndRethrow().
    bool safely(const std::function<void()>& work);
    // Shows the window modally and throws again the error that closed it, if any.
    void execAndRethrow();

private:
    std::exception_ptr error_;
};

} // namespace accise
