#pragma once
// Reads single fields of a stored movement record straight from its bytes. The
// scans over a year of movements (numbering, placing, stock) touch a handful of
// fields of every record; decoding all 42 fields of each would be wasted work.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/files/binary.h"

namespace accise {

namespace movement_offset {
inline constexpr std::size_t NUMREC = 0, NUMRIF = 4, DATFLU = 8, NUMFLU = 16, STATO = 20, DATMOV = 24,
                             TIPREC = 32, TIPOPE = 34, TIPREG = 36, UFFDOG = 38, ANNPRO = 47, NUMPRO = 52,
                             NUMOPE = 64, PRODDO = 89, QTAKG = 112, ETTOGR = 120, QTALIT = 128, CODPAE = 238,
                             TIPMOV = 258, NUMCPR = 568, GRAPLA = 152, NUMDOC = 184, DATDOC = 208, MITDES = 241,
                             ANNOTA = 288;
}

class MovementView {
public:
    explicit MovementView(std::string_view bytes) : b_(bytes) {}

    std::int32_t NUMREC() const { return binary::getInt32(at(movement_offset::NUMREC)); }
    std::int32_t NUMRIF() const { return binary::getInt32(at(movement_offset::NUMRIF)); }
    std::int32_t NUMFLU() const { return binary::getInt32(at(movement_offset::NUMFLU)); }
    std::int32_t NUMOPE() const { return binary::getInt32(at(movement_offset::NUMOPE)); }
    std::int32_t NUMCPR() const { return binary::getInt32(at(movement_offset::NUMCPR)); }
    double DATMOV() const { return binary::getDouble(at(movement_offset::DATMOV)); }
    double QTAKG() const { return binary::getDouble(at(movement_offset::QTAKG)); }
    double ETTOGR() const { return binary::getDouble(at(movement_offset::ETTOGR)); }
    double QTALIT() const { return binary::getDouble(at(movement_offset::QTALIT)); }
    // One-character fields: the character, a space when the field is empty.
    char STATO() const { return flag(movement_offset::STATO); }
    char TIPREC() const { return flag(movement_offset::TIPREC); }
    char TIPOPE() const { return flag(movement_offset::TIPOPE); }
    char TIPREG() const { return flag(movement_offset::TIPREG); }
    char TIPMOV() const { return flag(movement_offset::TIPMOV); }

    double DATFLU() const { return binary::getDouble(at(movement_offset::DATFLU)); }
    double DATDOC() const { return binary::getDouble(at(movement_offset::DATDOC)); }
    double GRAPLA() const { return binary::getDouble(at(movement_offset::GRAPLA)); }

    // The text of a field trimmed, in UTF-8: what decoding the whole record and
    // trimming it gives for that field, without decoding the blanks of its padding.
    std::string text(std::size_t offset, std::size_t width) const;
    // The stored text of a field padded with spaces to its width (Windows-1252 bytes).
    std::string padded(std::size_t offset, std::size_t width) const;
    // Compares a field with padded Windows-1252 bytes of the same width.
    bool fieldEquals(std::size_t offset, std::size_t width, std::string_view paddedBytes) const;

private:
    const char* at(std::size_t offset) const { return b_.data() + offset; }
    char flag(std::size_t offset) const { return static_cast<unsigned char>(b_[offset]) >= 1 ? b_[offset + 1] : ' '; }
    std::string_view b_;
};

} // namespace accise
