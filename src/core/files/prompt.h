#pragma once
// How the data store and the window logic speak to the person at the keyboard.
// The desktop application answers with message boxes, the command-line tool with
// its own waiting rules, tests with a recording double.
#include <string>

namespace accise {

class Prompt {
public:
    virtual ~Prompt() = default;
    // An information box: returns when the user has pressed OK.
    virtual void information(const std::string& text) = 0;
    // A Yes/No question: true for Yes.
    virtual bool question(const std::string& text) = 0;
    // An information box with the buttons OK and No: true for OK.
    virtual bool okOrNo(const std::string& text) { return question(text); }
};

} // namespace accise
