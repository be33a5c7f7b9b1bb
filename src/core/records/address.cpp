#include "core/records/address.h"

#include "core/records/recordfields.h"

namespace accise {

const FieldList<AddressRecord>& addressFields() {
    using A = AddressRecord;
    static const FieldList<AddressRecord> fields = {
        {"code", 0, 0, &A::code},
        {"id1", 4, 18, &A::id1},
        {"id2", 23, 18, &A::id2},
        {"name1", 42, 100, &A::name1},
        {"name2", 143, 100, &A::name2},
        {"vat", 244, 11, &A::vat},
        {"tax_code", 256, 16, &A::tax_code},
        {"street1", 273, 65, &A::street1},
        {"street2", 339, 65, &A::street2},
        {"number1", 405, 11, &A::number1},
        {"number2", 417, 11, &A::number2},
        {"postcode1", 429, 10, &A::postcode1},
        {"postcode2", 440, 10, &A::postcode2},
        {"city1", 451, 50, &A::city1},
        {"city2", 502, 50, &A::city2},
        {"user_code", 553, 4, &A::user_code},
        {"office", 558, 8, &A::office},
        {"export_office", 567, 8, &A::export_office},
        {"section", 576, 6, &A::section},
        {"guarantee_account", 583, 17, &A::guarantee_account},
        {"bond_kind", 601, 1, &A::bond_kind},
        {"auth_type", 603, 1, &A::auth_type},
    };
    return fields;
}

AddressRecord blankAddress() { return blankWith(addressFields()); }
void padAddress(AddressRecord& a) { padWith(addressFields(), a); }
void trimAddress(AddressRecord& a) { trimWith(addressFields(), a); }
std::string encodeAddress(const AddressRecord& a) { return encodeWith(addressFields(), a, kAddressSize); }
bool decodeAddress(std::string_view bytes, AddressRecord& a) { return decodeWith(addressFields(), bytes, a); }

AddressRecord decodeAddress(std::string_view bytes) {
    AddressRecord a;
    decodeAddress(bytes, a);
    return a;
}

} // namespace accise
