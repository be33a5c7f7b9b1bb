#pragma once
// What an entry window asks of the rest of the application: the lookup list, the
// code-table editor opened to add one code, the desktop's "open" action and the
// report preview.
// The desktop application provides them through its window registry; tests use a
// double. A window whose lookup list or editor is not available disables the button.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/reports/pagecanvas.h"
#include "logic/framework/commandcontext.h"

namespace accise {

// A report to show: its pages are drawn by `draw`, which may be called more than once
// (a preview draws again when it is refreshed) and must draw the same pages each time.
struct ReportJob {
    std::string title; // names the document (and the PDF file proposed for it)
    PageOrientation orientation = PageOrientation::Landscape;
    std::function<void(PageCanvas&)> draw;
};

class FormServices {
public:
    virtual ~FormServices() = default;

    virtual bool hasLookupList() const = 0;
    // The lookup list of ctx.table (filtered by ctx.mode where the list says so).
    // Returns the record number (entry code) of the chosen row, -1 when none was
    // chosen, and leaves it in ctx.chosenCode too.
    virtual std::int32_t openLookupList(CommandContext& ctx) = 0;

    virtual bool hasCodeEditor() const = 0;
    // The code-table editor of ctx.table in return mode: it closes after one
    // confirmation. The code just confirmed (trimmed), or nullopt when the editor
    // was closed without confirming.
    virtual std::optional<std::string> addNewCode(CommandContext& ctx) = 0;

    // The desktop's "open" action: a web address in the browser, a program started
    // from its path. No parameters; a text the desktop cannot open does nothing.
    // startProgram tells whether the program (or the file's associated one) started.
    virtual void openAddress(const std::string& address) = 0;
    virtual bool startProgram(const std::string& path) = 0;
    // The desktop's "open" action on a file: its associated program opens it.
    virtual void openFile(const std::string& path) = 0;

    // The on-screen preview of a report, from which the user prints; returns when
    // the preview is closed.
    virtual void showReport(const ReportJob& job) = 0;

    // Another task window opened by name from this one (modally); false when no such
    // window is available here.
    virtual bool openWindow(std::string_view name, CommandContext& ctx) {
        (void)name;
        (void)ctx;
        return false;
    }
};

} // namespace accise
