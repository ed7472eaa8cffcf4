// The listing that a failed golden scenario prints: which lines of the expected output are
// missing ('-') and which lines came instead ('+'), in hunks with three lines of context.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "scenario.h"

namespace scenario {

namespace {

constexpr std::size_t kContext = 3;
// Beyond this many cells the changed middle is listed as removed, then added, without matching.
constexpr std::size_t kMaxTableCells = 4'000'000;

std::vector<std::string_view> lines_of(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos) {
            lines.push_back(text);
            break;
        }
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end + 1);
    }
    return lines;
}

struct Op {
    char tag;       // ' ' same, '-' only expected, '+' only actual
    std::size_t a;  // line index in expected (for ' ' and '-')
    std::size_t b;  // line index in actual (for ' ' and '+')
};

// The edit script from a[a0, a1) to b[b0, b1), by longest common subsequence.
void middle_ops(const std::vector<std::string_view>& a, std::size_t a0, std::size_t a1,
                const std::vector<std::string_view>& b, std::size_t b0, std::size_t b1,
                std::vector<Op>& ops) {
    const std::size_t m = a1 - a0;
    const std::size_t n = b1 - b0;
    if (m * n > kMaxTableCells) {
        for (std::size_t i = a0; i < a1; ++i) ops.push_back({'-', i, b0});
        for (std::size_t j = b0; j < b1; ++j) ops.push_back({'+', a1, j});
        return;
    }
    // lcs[i][j]: length of the common subsequence of a[a0 + i, a1) and b[b0 + j, b1).
    std::vector<std::uint32_t> lcs((m + 1) * (n + 1), 0);
    const auto at = [&](std::size_t i, std::size_t j) -> std::uint32_t& {
        return lcs[i * (n + 1) + j];
    };
    for (std::size_t i = m; i-- > 0;) {
        for (std::size_t j = n; j-- > 0;) {
            at(i, j) = a[a0 + i] == b[b0 + j] ? at(i + 1, j + 1) + 1
                                              : std::max(at(i + 1, j), at(i, j + 1));
        }
    }
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < m || j < n) {
        if (i < m && j < n && a[a0 + i] == b[b0 + j]) {
            ops.push_back({' ', a0 + i++, b0 + j++});
        } else if (j == n || (i < m && at(i + 1, j) >= at(i, j + 1))) {
            ops.push_back({'-', a0 + i++, b0 + j});
        } else {
            ops.push_back({'+', a0 + i, b0 + j++});
        }
    }
}

}  // namespace

std::string line_diff(std::string_view expected, std::string_view actual,
                      std::string_view expected_name, std::string_view actual_name) {
    if (expected == actual) return {};
    std::string out =
        "--- " + std::string(expected_name) + "\n+++ " + std::string(actual_name) + "\n";
    const auto a = lines_of(expected);
    const auto b = lines_of(actual);
    if (a == b) return out + "(the two differ only in the newline at the end)\n";

    std::size_t prefix = 0;
    while (prefix < a.size() && prefix < b.size() && a[prefix] == b[prefix]) ++prefix;
    std::size_t suffix = 0;
    while (suffix < a.size() - prefix && suffix < b.size() - prefix &&
           a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix]) {
        ++suffix;
    }
    std::vector<Op> ops;
    for (std::size_t i = 0; i < prefix; ++i) ops.push_back({' ', i, i});
    middle_ops(a, prefix, a.size() - suffix, b, prefix, b.size() - suffix, ops);
    for (std::size_t k = suffix; k > 0; --k) ops.push_back({' ', a.size() - k, b.size() - k});

    std::size_t k = 0;
    while (k < ops.size()) {
        // The next hunk: from its first change, on while changes come within 2 * kContext.
        while (k < ops.size() && ops[k].tag == ' ') ++k;
        if (k == ops.size()) break;
        const std::size_t first = k >= kContext ? k - kContext : 0;
        std::size_t last = k;  // one past the last change of the hunk
        while (last < ops.size()) {
            std::size_t next = last;
            while (next < ops.size() && ops[next].tag == ' ') ++next;
            if (next == ops.size() || next - last > 2 * kContext) break;
            while (next < ops.size() && ops[next].tag != ' ') ++next;
            last = next;
        }
        const std::size_t end = std::min(ops.size(), last + kContext);
        std::size_t a_count = 0;
        std::size_t b_count = 0;
        for (std::size_t i = first; i < end; ++i) {
            if (ops[i].tag != '+') ++a_count;
            if (ops[i].tag != '-') ++b_count;
        }
        // Unified diffs count lines from 1, and name the line before an empty range.
        const auto start = [](std::size_t index, std::size_t count) {
            return std::to_string(count == 0 ? index : index + 1);
        };
        out += "@@ -" + start(ops[first].a, a_count) + "," + std::to_string(a_count) + " +" +
               start(ops[first].b, b_count) + "," + std::to_string(b_count) + " @@\n";
        for (std::size_t i = first; i < end; ++i) {
            out += ops[i].tag;
            out += ops[i].tag == '+' ? b[ops[i].b] : a[ops[i].a];
            out += '\n';
        }
        k = end;
    }
    return out;
}

}  // namespace scenario
