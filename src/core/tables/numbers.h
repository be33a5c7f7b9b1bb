// Numbers in the Italian form used on screen, in prints and in exports:
// "." groups the thousands, "," separates the decimals, an optional leading "-".
//
// Quantities are kept to 5 decimals and amounts to 2; the windows round with
// roundTo() before they store a value.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace accise {

// Reads a whole number from what the user typed.
//
// Only the first 20 characters count (short texts are padded with blanks).
// A "-" anywhere among them makes the result negative; every digit among them
// is taken in order and everything else is skipped, so "1.234" reads 1234,
// "12 3" reads 123 and "12-" reads -12. Text without digits reads 0.
// Never fails: a digit string beyond the 32-bit range saturates at
// INT32_MAX (or INT32_MIN when negative).
std::int32_t parseInteger(std::string_view text);

// Reads a decimal number typed in the Italian form and rounds it to
// `decimals` places (negative counts as 0).
//
// Only the first 20 characters count. A "-" anywhere makes it negative.
// Before the first "," only digits count (the "." separators are skipped);
// after it, digits form the fraction, a second "," is skipped and a "." ends
// the readable fraction (what follows it is ignored). Without a ","
// there is no fraction at all: "1.5" reads 15. Never fails: no digits read 0.
// The rounding is the one of formatNumber (halves away from zero on the
// decimal text of the value), read back into a double.
double parseDecimal(std::string_view text, int decimals);

// Display text of a number.
//
// decimals: 0 = automatic (as many as the fraction shows once rounded to
// 5 decimals, none when it is zero), -1 (or any negative) = none,
// otherwise that many, halves rounded away from zero. The value is
// rounded as the shortest decimal text that reads back to it, so 1.005
// shows "1,01" with two decimals.
//
// The integer digits are grouped by "." every three digits; "-" is
// prefixed when the text shown is not all zeros (-0.001 with two decimals
// shows "0,00"). When that integer text is not longer than `width`, it is
// left-padded with blanks to width + 1 characters (so width 0 never pads).
// Examples with width 0, 2 decimals: 1234.5 -> "1.234,50", -0.5 -> "-0,50".
// Not-a-number and infinities come out as "NAN", "INF" and "-INF".
std::string formatNumber(double x, int width, int decimals);

// Rounds to `decimals` places (clamped to 0..15), halves away from zero.
//
// The value is first rounded to 5 decimals through its text (as
// formatNumber does; by arithmetic where that gives the same double), then scaled by dividing by 10^-decimals, moved by
// +/-0.5, truncated and multiplied back. Both scalings are binary
// floating-point operations, so a value without an exact binary form may
// land on either side of the half: 1.005 to 2 decimals gives 1.00 (its
// double is 1.00499999999999989...), while 2.345 gives 2.35.
// Values too large to carry a fraction at that scale, and non-finite ones,
// are returned after the first step unchanged.
double roundTo(double x, int decimals);

// The first step of roundTo by its two roads, which give the same double wherever
// the second answers (the tests hold them equal).
//
// The text road: the shortest decimal text that reads back to x, rounded at the
// fifth decimal (halves away from zero) and read back; -0 comes out as 0.
double fiveDecimalsThroughText(double x);
// The arithmetic road: x * 10^5 rounded to a whole number and divided by 10^5.
// Nothing where it could fall on another whole number than the text road: x * 10^5
// within a few units of its last place from a half (the decimal text may sit on
// the half, or on the other side of it), beyond 2^50, or not finite.
std::optional<double> fiveDecimalsByArithmetic(double x);

} // namespace accise
