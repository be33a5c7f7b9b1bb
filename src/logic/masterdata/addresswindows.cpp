#include "logic/masterdata/addresswindows.h"

#include "core/tables/addressbook.h"

namespace accise {

std::string addressWindowTitle(AddressWindow window, std::string_view book) {
    const char kind = addressBookKind(book);
    const std::string word(addressKindCaption(kind));
    switch (window) {
    case AddressWindow::Insert:
        // Recipients (D) are never created here.
        if (word.empty() || kind == 'D') return "Inserisce Indirizzo";
        return "Inserisce " + word;
    case AddressWindow::Modify:
        if (word.empty() || kind == 'D') return "Modifica Indirizzo";
        // The captions of clients and suppliers end with a space.
        return "Modifica " + word + (kind == 'C' || kind == 'F' ? " " : "");
    case AddressWindow::Delete:
        if (word.empty()) return "Cancella Destinatario DAA";
        return "Cancella " + word;
    }
    return {};
}

std::filesystem::path addressBookFile(const Folders& folders, std::string_view book) {
    return folders.general(std::string(book) + ".DAT");
}

std::optional<AddressRecord> chooseAddressEntry(CommandContext& ctx, FormServices& services) {
    const std::int32_t code = services.openLookupList(ctx);
    if (code < 0) return std::nullopt;
    AddressRecord probe = blankAddress();
    probe.code = code;
    return searchAddress(addressBookFile(ctx.folders, ctx.table), AddressSearch::Code, probe);
}

} // namespace accise
