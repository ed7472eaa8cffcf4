#include "ui/types.h"

#include <array>
#include <charconv>
#include <limits>

namespace ui {

Integer to_integer(double value) {
    constexpr double lo = std::numeric_limits<Integer>::min();
    constexpr double hi = std::numeric_limits<Integer>::max();
    if (std::isnan(value)) return 0;
    // nearbyint follows the default rounding mode: to nearest, ties to even.
    const double rounded = std::nearbyint(value);
    if (rounded <= lo) return std::numeric_limits<Integer>::min();
    if (rounded >= hi) return std::numeric_limits<Integer>::max();
    return static_cast<Integer>(rounded);
}

Integer add_saturated(Integer value, int delta) {
    const long sum = static_cast<long>(value) + delta;
    if (sum > std::numeric_limits<Integer>::max()) return std::numeric_limits<Integer>::max();
    if (sum < std::numeric_limits<Integer>::min()) return std::numeric_limits<Integer>::min();
    return static_cast<Integer>(sum);
}

std::string text_of(Integer value) {
    return std::to_string(value);
}

namespace {
constexpr std::array<std::string_view, kPictureCount> kPictureNames = {
    "none",         "fish_purple",   "puffer_inflated", "puffer_deflated", "shell_open",
    "shell_closed", "smiley_closed", "smiley_open",     "smiley_nose",     "air_tanks",
    "extra_life",   "icon_info",     "icon_question",   "underwater",
};
}  // namespace

std::string_view picture_name(Picture picture) {
    const auto index = static_cast<std::size_t>(picture);
    return index < kPictureNames.size() ? kPictureNames[index] : "none";
}

std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

std::string format_single(Single value) {
    std::array<char, 32> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

}  // namespace ui
