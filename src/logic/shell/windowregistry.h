#pragma once
// The handlers of the menu commands and the windows other windows open, by name.
// A menu entry whose handler is not registered is shown disabled; enabling a
// window built later is one registration line (see app/taskwindows.cpp).
//
// Names in use: the handler names of the command table (commandtable.h: "AAZIENDA",
// "ACODICI", "AMODCARICO", ...; otherwise the command's action name), and the
// windows opened from other windows:
//   kLookupList    the lookup list of ctx.table (mode in ctx.mode); leaves the
//                  chosen record number in ctx.chosenCode (-1 for none)
//   kCodeEditorReturn  the code-table editor of ctx.table in return mode; leaves the
//                  confirmed code in ctx.enteredCode ("" when closed without one)
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "logic/framework/commandcontext.h"

namespace accise {

inline constexpr std::string_view kLookupList = "ULISTVIEW";
inline constexpr std::string_view kCodeEditorReturn = "UCODICI_RETURN";

class WindowRegistry {
public:
    using Handler = std::function<void(CommandContext&)>;

    void add(std::string_view name, Handler handler);
    // A window that other windows open in return mode: it runs with continuous entry
    // off and an empty entered code, and every command value it changes is put back
    // when it closes (KeepCommandValues). The one way all such windows are registered.
    void addReturnWindow(std::string_view name, Handler handler);
    bool has(std::string_view name) const;
    // Runs the handler; false (and nothing happens) when none is registered.
    bool run(std::string_view name, CommandContext& ctx) const;

private:
    std::map<std::string, Handler, std::less<>> handlers_;
};

} // namespace accise
