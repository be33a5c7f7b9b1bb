#include "logic/shell/registryservices.h"

#include "core/files/text1252.h"

namespace accise {

RegistryServices::RegistryServices(const WindowRegistry& registry, Opener openAddress, Starter startProgram,
                                   Opener openFile, ReportViewer showReport)
    : registry_(registry), openAddress_(std::move(openAddress)), startProgram_(std::move(startProgram)),
      openFile_(std::move(openFile)), showReport_(std::move(showReport)) {}

bool RegistryServices::hasLookupList() const {
    return registry_.has(kLookupList);
}

std::int32_t RegistryServices::openLookupList(CommandContext& ctx) {
    ctx.chosenCode = -1;
    registry_.run(kLookupList, ctx);
    return ctx.chosenCode;
}

bool RegistryServices::hasCodeEditor() const {
    return registry_.has(kCodeEditorReturn);
}

std::optional<std::string> RegistryServices::addNewCode(CommandContext& ctx) {
    ctx.enteredCode.clear();
    registry_.run(kCodeEditorReturn, ctx);
    std::string code = trimmed(ctx.enteredCode);
    if (code.empty()) return std::nullopt;
    return code;
}

void RegistryServices::openAddress(const std::string& address) {
    if (!address.empty() && openAddress_) openAddress_(address);
}

bool RegistryServices::startProgram(const std::string& path) {
    return !path.empty() && startProgram_ && startProgram_(path);
}

bool RegistryServices::openWindow(std::string_view name, CommandContext& ctx) {
    return registry_.run(name, ctx);
}

void RegistryServices::openFile(const std::string& path) {
    if (!path.empty() && openFile_) openFile_(path);
}

void RegistryServices::showReport(const ReportJob& job) {
    if (job.draw && showReport_) showReport_(job);
}

} // namespace accise
