#pragma once
// The lines of a check-list control and their ticks ("Tutti" / "Nessuno").
#include <cstddef>
#include <string>
#include <vector>

namespace accise {

class CheckList {
public:
    void assign(std::vector<std::string> lines, bool ticked) {
        lines_ = std::move(lines);
        ticks_.assign(lines_.size(), ticked);
    }
    void clear() { assign({}, false); }
    const std::vector<std::string>& lines() const { return lines_; }
    bool ticked(std::size_t i) const { return i < ticks_.size() && ticks_[i]; }
    void setTicked(std::size_t i, bool on) {
        if (i < ticks_.size()) ticks_[i] = on;
    }
    void tickAll() { ticks_.assign(lines_.size(), true); }  // BTUTTI
    void tickNone() { ticks_.assign(lines_.size(), false); } // BNESSUNO
    std::vector<std::size_t> tickedLines() const {
        std::vector<std::size_t> out;
        for (std::size_t i = 0; i < ticks_.size(); ++i)
            if (ticks_[i]) out.push_back(i);
        return out;
    }

private:
    std::vector<std::string> lines_;
    std::vector<bool> ticks_;
};

} // namespace accise
