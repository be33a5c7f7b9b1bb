#include "logic/masterdata/addressdelete.h"

#include "core/files/text1252.h"
#include "core/tables/addressbook.h"
#include "core/tables/keyfilters.h"
#include "logic/masterdata/addresswindows.h"

namespace accise {

using namespace addressdelete;

std::string addressDeleteText(const AddressRecord& entry, char kind) {
    AddressRecord e = entry;
    trimAddress(e);
    std::string text;
    const auto line = [&text](const std::string& item) { text += item + "\n"; };
    line(e.id1);
    // The entries of our books keep their VAT number in the block 2 identifier; the
    // record's own VAT field is blank in them, and showing it would show nothing.
    line(kind != 'D' && e.vat.empty() ? e.id2 : e.vat);
    line(e.name1);
    line(e.street1 + " " + e.number1);
    line(e.postcode1 + " " + e.city1);
    line("");
    if (kind == 'D') {
        line(e.user_code + " " + e.name2);
        line(e.id2);
        line(e.street2 + " " + e.number2);
        line(e.postcode2 + " " + e.city2);
    }
    line(e.bond_kind + " " + e.guarantee_account);
    text += e.section;
    return text;
}

AddressDeleteLogic::AddressDeleteLogic(CommandContext& ctx, Prompt& prompt, FormServices& services,
                                       AddressRecord entry)
    : EntryFormLogic(ctx, prompt, services), entry_(std::move(entry)), book_(ctx.table) {
    addField(FieldSpec("CONFSI", 2, LetterCase::Upper));
    // After the confirmation field, so that Enter there leaves it.
    addField(FieldSpec("TESTO").shownOnly());
}

std::string AddressDeleteLogic::title() const { return addressWindowTitle(AddressWindow::Delete, book_); }

void AddressDeleteLogic::onOpen() {
    book_ = context().table;
    deleted_ = false;
    setValue("TESTO", addressDeleteText(entry_, addressBookKind(book_)));
    setValue("CONFSI", "");
    setFocusAfterOpen("CONFSI");
}

FocusMove AddressDeleteLogic::onLeave(std::string_view control) {
    if (control != "CONFSI") return FocusMove::next();
    // The field turns letters into capitals: "si" is "SI".
    if (toUpperAscii(value("CONFSI")) != kYes) return FocusMove::to("CONFSI");
    deleteAddress(addressBookFile(folders(), book_), entry_.code, prompt());
    deleted_ = true;
    requestClose();
    return FocusMove::next();
}

} // namespace accise
