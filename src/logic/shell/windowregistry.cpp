#include "logic/shell/windowregistry.h"

namespace accise {

void WindowRegistry::add(std::string_view name, Handler handler) {
    handlers_.insert_or_assign(std::string(name), std::move(handler));
}

void WindowRegistry::addReturnWindow(std::string_view name, Handler handler) {
    add(name, [handler = std::move(handler)](CommandContext& ctx) {
        KeepCommandValues keep(ctx);
        ctx.continuousEntry = false;
        ctx.enteredCode.clear();
        handler(ctx);
    });
}

bool WindowRegistry::has(std::string_view name) const {
    return handlers_.find(name) != handlers_.end();
}

bool WindowRegistry::run(std::string_view name, CommandContext& ctx) const {
    const auto it = handlers_.find(name);
    if (it == handlers_.end()) return false;
    // A copy: a handler may register further windows while it runs.
    const Handler handler = it->second;
    handler(ctx);
    return true;
}

} // namespace accise
