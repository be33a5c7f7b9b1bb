// Checks of the Italian identifiers kept in the master data.
#pragma once

#include <string_view>

namespace accise {

// Partita IVA: exactly 11 digits whose last one is the check digit.
// Positions 1-10: a digit in an odd position adds its value, a digit in an
// even position is doubled and adds the sum of the product's digits
// (7 -> 14 -> 5); check digit = (10 - sum mod 10) mod 10.
bool isValidVatNumber(std::string_view text);

enum class TaxCodeCheck { Valid, Invalid, NotChecked };

// Codice fiscale. A text that is not 16 characters long is NotChecked (the
// windows then say nothing). Otherwise every character must be "0"-"9" or
// a capital "A"-"Z" (lower case is Invalid: the fields turn letters into
// capitals as they are typed), and the 16th must be the check letter:
// "A" + (sum mod 26), adding characters 1, 3, ..., 15 through the odd-position
// table and characters 2, 4, ..., 14 through the even-position one.
TaxCodeCheck checkTaxCode(std::string_view text);

// Codice d'accisa: exactly 13 characters, all digits or capitals "A"-"Z",
// beginning "IT00", with `kindLetter` as 7th character ("A" for a tax
// warehouse; the other authorised sites use "V"). Shorter or longer texts
// are not valid.
bool isValidExciseCode(std::string_view text, char kindLetter = 'A');

} // namespace accise
