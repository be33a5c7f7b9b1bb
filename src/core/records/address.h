#pragma once
// The address record (608 bytes): the company (UTENTE.001), its other sites
// (UTENTE.nnn) and the entries of the address books. The two address blocks take
// a different meaning in each use; the comments give the company's.
#include <cstdint>
#include <string>
#include <string_view>

namespace accise {

inline constexpr std::size_t kAddressSize = 608;

struct AddressRecord {
    std::int32_t code = 0;          // entry code of an address book; 0 for company and sites
    std::string id1;                // [18] excise code (company, address book)
    std::string id2;                // [18] excise code of a site; VAT number in the address book
    std::string name1;              // [100] denomination
    std::string name2;              // [100] denomination of a site
    std::string vat;                // [11] company VAT number
    std::string tax_code;           // [16] company tax code
    std::string street1;            // [65]
    std::string street2;            // [65] company: EDI user name; site: address
    std::string number1;            // [11]
    std::string number2;            // [11]
    std::string postcode1;          // [10]
    std::string postcode2;          // [10] company: profile "ALCODA" / "ALCOPP"
    std::string city1;              // [50]
    std::string city2;              // [50] company: password of the agency's applications
    std::string user_code;          // [4] company: telematic user code; site: site number
    std::string office;             // [8] customs office
    std::string export_office;      // [8]
    std::string section;            // [6] customs section; address book: language
    std::string guarantee_account;  // [17]
    std::string bond_kind;          // [1] "C" bond, "E" exemption
    std::string auth_type;          // [1] "1" tax warehouse, "2" authorised consignor
};

AddressRecord blankAddress();
void padAddress(AddressRecord& a);
void trimAddress(AddressRecord& a);
std::string encodeAddress(const AddressRecord& a);
bool decodeAddress(std::string_view bytes, AddressRecord& a);
AddressRecord decodeAddress(std::string_view bytes);

} // namespace accise
