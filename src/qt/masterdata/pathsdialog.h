#pragma once
// The application paths window on screen: LE0-LE3 with a browse button each.
#include <functional>

#include <QString>

#include "logic/masterdata/paths.h"
#include "qt/framework/entrydialog.h"

namespace accise {

class PathsDialog : public EntryDialog {
    Q_OBJECT
public:
    // Opens a file-open dialog starting from `start`; the chosen file, or "" when none.
    using FileChooser = std::function<QString(QWidget* parent, const QString& start)>;

    PathsDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent = nullptr);
    // Replaces the file-open dialog (tests).
    void setFileChooser(FileChooser chooser) { chooser_ = std::move(chooser); }

private:
    void browse(int entry);

    ApplicationPathsLogic form_;
    FileChooser chooser_;
};

} // namespace accise
