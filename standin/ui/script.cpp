#include "standin/ui/script.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "standin/ui/keys.h"

namespace vxs::ui {

namespace {
using Op = ScriptStep::Op;

constexpr int kMaxCoordinate = 100000;
constexpr int kMaxWindowSide = 8192;
constexpr int kMaxWaitMs = 24 * 3600 * 1000;
constexpr size_t kMaxLineBytes = 4096;

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> words(std::string_view s) {
    std::vector<std::string_view> out;
    while (!(s = trim(s)).empty()) {
        const size_t end = s.find_first_of(" \t");
        out.push_back(s.substr(0, end));
        s = end == std::string_view::npos ? std::string_view{} : s.substr(end);
    }
    return out;
}

std::optional<int> number(std::string_view w, int lo, int hi) {
    int v = 0;
    const auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), v);
    if (ec != std::errc{} || end != w.data() + w.size() || v < lo || v > hi) return std::nullopt;
    return v;
}

// The words after the points: a button name and "shift", in this order,
// each optional; `buttons` lists the names allowed.
bool qualifiersOf(std::vector<std::string_view> rest, bool allowBoth, int& q) {
    q = qual::kLeft;
    if (!rest.empty() && rest.back() == "shift") {
        q |= qual::kShift;
        rest.pop_back();
    }
    if (rest.empty()) return true;
    if (rest.size() > 1) return false;
    const int shift = q & qual::kShift;
    if (rest[0] == "left") q = qual::kLeft | shift;
    else if (rest[0] == "right") q = qual::kRight | shift;
    else if (rest[0] == "both" && allowBoth) q = qual::kBoth | shift;
    else return false;
    return true;
}

// What one line asks for; an error text when it cannot be understood.
std::string parseLine(std::string_view line, ScriptStep& step) {
    const std::vector<std::string_view> w = words(line);
    const std::string_view cmd = w[0];
    const std::string_view rest = trim(line.substr(line.find(cmd) + cmd.size()));
    // An error text when the line lacks n whole numbers in range.
    const auto points = [&](std::string_view name, size_t n) -> std::string {
        const std::string needs = std::string(name) + " needs " + (n == 4 ? "X1 Y1 X2 Y2" : "X Y") + " as whole numbers";
        if (w.size() < 1 + n) return needs;
        int* out[4] = {&step.x, &step.y, &step.x2, &step.y2};
        for (size_t i = 0; i < n; ++i) {
            const auto v = number(w[1 + i], -kMaxCoordinate, kMaxCoordinate);
            if (v) {
                *out[i] = *v;
                continue;
            }
            const std::string_view digits = w[1 + i].substr(w[1 + i].front() == '-');
            if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) return needs;
            return std::string(name) + " " + std::string(w[1 + i]) + " is out of range (-" +
                   std::to_string(kMaxCoordinate) + " to " + std::to_string(kMaxCoordinate) + ")";
        }
        return "";
    };
    static constexpr std::array<std::pair<std::string_view, Op>, 5> kPointer{{
        {"press", Op::Press}, {"release", Op::Release}, {"click", Op::Click}, {"drag", Op::Drag}, {"move", Op::Move}}};
    for (const auto& [name, op] : kPointer) {
        if (cmd != name) continue;
        step.op = op;
        const size_t n = op == Op::Drag ? 4 : 2;
        if (std::string bad = points(name, n); !bad.empty()) return bad;
        if (op == Op::Move) return w.size() == 3 ? "" : "move takes only X Y";
        if (!qualifiersOf({w.begin() + 1 + long(n), w.end()}, op != Op::Drag, step.qualifiers))
            return std::string("unknown button or qualifier after ") + std::string(name);
        return "";
    }
    if (cmd == "key" || cmd == "ctrl") {
        step.op = Op::Key;
        step.ctrl = cmd == "ctrl";
        const auto code = w.size() == 2 ? keyCode(w[1], step.ctrl) : std::nullopt;
        if (!code) return std::string(cmd) + " needs one key: a character or Delete, Return, Escape, Space, arrows";
        step.key = *code;
        return "";
    }
    if (cmd == "wait") {
        step.op = Op::Wait;
        const auto ms = w.size() == 2 ? number(w[1], 0, kMaxWaitMs) : std::nullopt;
        if (!ms) return "wait needs a number of milliseconds";
        step.x = *ms;
        return "";
    }
    if (cmd == "wait-render") {
        step.op = Op::WaitRender;
        const auto ms = w.size() == 1 ? std::optional<int>(kMaxWaitMs) : w.size() == 2 ? number(w[1], 0, kMaxWaitMs) : std::nullopt;
        if (!ms) return "wait-render takes at most a number of milliseconds";
        step.x = *ms;
        return "";
    }
    if (cmd == "resize") {
        step.op = Op::Resize;
        const auto wd = w.size() == 3 ? number(w[1], 1, kMaxWindowSide) : std::nullopt;
        const auto ht = w.size() == 3 ? number(w[2], 1, kMaxWindowSide) : std::nullopt;
        if (!wd || !ht) return "resize needs W H between 1 and 8192";
        step.x = *wd, step.y = *ht;
        return "";
    }
    static constexpr std::array<std::pair<std::string_view, Op>, 4> kBare{
        {{"quit-macro", Op::QuitMacro}, {"info", Op::Info}, {"close", Op::Close}, {"open", Op::Open}}};
    for (const auto& [name, op] : kBare) {
        if (cmd != name) continue;
        step.op = op;
        return w.size() == 1 ? "" : std::string(cmd) + " takes nothing";
    }
    static constexpr std::array<std::pair<std::string_view, Op>, 10> kText{
        {{"file", Op::File}, {"add", Op::Add}, {"menu", Op::Menu}, {"answer", Op::Answer}, {"shot", Op::Shot},
         {"save", Op::Save}, {"field", Op::Field}, {"button", Op::Button}, {"show", Op::Show}, {"focus", Op::Focus}}};
    for (const auto& [name, op] : kText) {
        if (cmd != name) continue;
        step.op = op;
        step.text = std::string(rest);
        if (rest.empty()) return std::string(name) + " needs a text";
        if (op == Op::Field && w.size() < 3) return "field needs LABEL VALUE";
        if (op == Op::File && rest != "Open" && rest != "Save" && rest != "Save to preset" && rest != "Clear nodes")
            return "file needs Open, Save, Save to preset or Clear nodes";
        const size_t slash = rest.find('/');
        if (op == Op::Add && (slash == 0 || slash == std::string_view::npos || slash + 1 == rest.size()))
            return "add needs CATEGORY/NAME";
        return "";
    }
    return "unknown command \"" + std::string(cmd) + "\"";
}
}  // namespace

bool ScriptReader::next(ScriptStep& step, std::string& error) {
    std::string text;
    for (int c = 0; c != EOF;) {
        text.clear();
        while ((c = in_.get()) != EOF && c != '\n') {
            if (text.size() == kMaxLineBytes) {
                error = "line " + std::to_string(line_ + 1) + ": longer than " + std::to_string(kMaxLineBytes) +
                        " bytes";
                return false;
            }
            text += char(c);
        }
        if (c == EOF && text.empty()) break;
        ++line_;
        const std::string_view line = trim(text);
        if (line.empty() || line[0] == '#') continue;
        step = ScriptStep{};
        step.line = line_;
        if (std::string what = parseLine(line, step); !what.empty()) {
            error = "line " + std::to_string(line_) + ": " + what;
            return false;
        }
        return true;
    }
    if (in_.bad()) error = "line " + std::to_string(line_ + 1) + ": cannot be read";
    return false;
}

}  // namespace vxs::ui
