#include "cli/recordjson.h"

#include <algorithm>
#include <cmath>

#include "core/files/text1252.h"
#include "core/records/recordfields.h"

namespace accise::cli {
namespace {

class ObjectWriter {
public:
    void text(const std::string& key, const std::string& value, bool always = false) {
        const std::string t = trimmed(value);
        if (t.empty() && !always) return;
        add(key, jsonQuote(t));
    }
    void number(const std::string& key, double value, bool always = false) {
        if (value == 0 && !always) return;
        add(key, jsonNumber(value));
    }
    std::string str() const { return out_ + "}"; }

private:
    void add(const std::string& key, const std::string& value) {
        out_ += (out_.size() > 1 ? "," : "") + jsonQuote(key) + ":" + value;
    }
    std::string out_ = "{";
};

template <class R>
std::string fieldsToJson(const FieldList<R>& fields, const R& record) {
    ObjectWriter w;
    bool first = true;
    for (const auto& f : fields) {
        if (auto i = std::get_if<std::int32_t R::*>(&f.member)) w.number(f.name, record.**i, first);
        else if (auto d = std::get_if<double R::*>(&f.member)) w.number(f.name, record.**d, first);
        else w.text(f.name, record.*std::get<std::string R::*>(f.member), first);
        first = false;
    }
    return w.str();
}

} // namespace

std::string movementToJson(const Movement& m) { return fieldsToJson(movementFields(), m); }
std::string addressToJson(const AddressRecord& a) { return fieldsToJson(addressFields(), a); }

std::string tableToJson(const TableRecord& t) {
    ObjectWriter w;
    w.number("number", t.number, true);
    for (std::size_t i = 0; i < 10; ++i) w.text("col" + std::to_string(i), t.col[i]);
    for (std::size_t i = 0; i < 10; ++i) w.text("extra" + std::to_string(i), t.extra[i]);
    for (std::size_t i = 0; i < 10; ++i) w.number("int" + std::to_string(i), t.ints[i]);
    for (std::size_t i = 0; i < 30; ++i) w.number("num" + std::to_string(i), t.nums[i]);
    return w.str();
}

Movement movementFromJson(const JsonObject& object) {
    Movement m = blankMovement();
    const auto& fields = movementFields();
    for (const auto& [key, value] : object) {
        auto f = std::find_if(fields.begin(), fields.end(), [&](const auto& x) { return key == x.name; });
        if (f == fields.end()) throw JsonError("campo sconosciuto: " + key);
        if (std::holds_alternative<std::nullptr_t>(value)) continue;
        if (auto s = std::get_if<std::string Movement::*>(&f->member)) {
            const auto* text = std::get_if<std::string>(&value);
            if (!text) throw JsonError("il campo " + key + " vuole un testo");
            if (!fitsIn1252(*text))
                throw JsonError("il campo " + key + " contiene caratteri che i file non possono contenere "
                                "(UTF-8 non valido o caratteri fuori da Windows-1252)");
            m.**s = *text;
            continue;
        }
        const auto* number = std::get_if<double>(&value);
        if (!number || !std::isfinite(*number)) throw JsonError("il campo " + key + " vuole un numero");
        if (auto i = std::get_if<std::int32_t Movement::*>(&f->member)) {
            if (*number != std::floor(*number) || std::fabs(*number) > 2147483647.0)
                throw JsonError("il campo " + key + " vuole un intero a 32 bit");
            m.**i = static_cast<std::int32_t>(*number);
        } else {
            m.*std::get<double Movement::*>(f->member) = *number;
        }
    }
    return m;
}

} // namespace accise::cli
