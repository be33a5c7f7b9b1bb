#pragma once
// Messages and Yes/No questions of the desktop application, as message boxes over
// the active window. The system's texts break lines with "\r"; shown as new lines.
#include <QString>

#include "core/files/prompt.h"

class QWidget;

namespace accise {

class QtPrompt : public Prompt {
public:
    void information(const std::string& text) override;
    bool question(const std::string& text) override;
    bool okOrNo(const std::string& text) override;

    static QString displayText(const std::string& text);
};

// The application's display of an error that aborted a command.
void showCommandError(QWidget* parent, const std::exception& error);

} // namespace accise
