#include "logic/masterdata/paths.h"

#include "core/tables/company.h"

namespace accise {
namespace {

constexpr int kEntryMaxLength = 250;

std::string withSeparator(std::string folder) {
    const char sep = static_cast<char>(std::filesystem::path::preferred_separator);
    if (folder.empty() || folder.back() != sep) folder += sep;
    return folder;
}

// The folder of a file, ending with the separator.
std::string folderOf(const std::string& file) {
    return withSeparator(std::filesystem::path(file).parent_path().string());
}

} // namespace

ConfigEntriesLogic::ConfigEntriesLogic(CommandContext& ctx, Prompt& prompt, FormServices& services,
                                       std::filesystem::path file, int entries)
    : EntryFormLogic(ctx, prompt, services), file_(std::move(file)), entries_(entries) {
    for (int i = 0; i < entries_; ++i)
        addField(FieldSpec(control(i), kEntryMaxLength));
}

void ConfigEntriesLogic::onOpen() {
    ensureConfigFile(file_);
    record_ = readConfigRecord(file_);
    for (int i = 0; i < entries_; ++i)
        setValue(control(i), record_.col[static_cast<std::size_t>(i)]);
    setFocusAfterOpen(control(0));
}

void ConfigEntriesLogic::onSave() {
    for (int i = 0; i < entries_; ++i)
        record_.col[static_cast<std::size_t>(i)] = value(control(i));
    writeConfigRecord(file_, record_);
    requestClose();
}

ApplicationPathsLogic::ApplicationPathsLogic(CommandContext& ctx, Prompt& prompt, FormServices& services)
    : ConfigEntriesLogic(ctx, prompt, services, ctx.folders.applConfig(), 4) {}

std::string ApplicationPathsLogic::browseStart(int entry) const {
    if (entry == 0) return value(control(0));
    return value(control(entry)) + "F";
}

void ApplicationPathsLogic::fileChosen(int entry, const std::string& path) {
    if (path.empty() || entry < 0 || entry >= entries()) return;
    const char sep = static_cast<char>(std::filesystem::path::preferred_separator);
    const std::string folder = folderOf(path);
    if (entry == 0) {
        setValue(control(0), path);
        setValue(control(1), folder + "dafirmare" + sep);
        setValue(control(2), folder + "firmati" + sep);
    } else {
        setValue(control(entry), folder);
    }
}

} // namespace accise
