// Basic value types of the form runtime: the game's 16-bit Integers, single-precision
// positions, colours as the form descriptions write them, and the thirteen pictures.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

namespace ui {

// The game's Integer: 16-bit signed.
using Integer = std::int16_t;
// Positions, sizes and steps in a form's own units.
using Single = float;

// A colour as the form descriptions write it: 0x00BBGGRR, or a system colour with the
// top bit set (0x80000005 is the window background).
using Color = std::uint32_t;
inline constexpr Color kSystemWindowBackground = 0x80000005u;
inline constexpr bool is_system_color(Color c) {
    return (c & 0x80000000u) != 0;
}
inline constexpr int red(Color c) {
    return static_cast<int>(c & 0xFFu);
}
inline constexpr int green(Color c) {
    return static_cast<int>((c >> 8) & 0xFFu);
}
inline constexpr int blue(Color c) {
    return static_cast<int>((c >> 16) & 0xFFu);
}

// Stores a floating value into an Integer: round to nearest, ties to even, clamped to the
// Integer's range.
Integer to_integer(double value);

// Adds to an Integer counter; saturates at the type's bounds instead of overflowing.
Integer add_saturated(Integer value, int delta);

// Int() of the old platform: the largest whole number not above the value, still a Single.
inline Single Int(Single value) {
    return std::floor(value);
}

// Decimal text of an Integer, with a minus sign when negative.
std::string text_of(Integer value);

// The pictures every form draws from. A Picture is a name; copying one copies the name.
enum class Picture : std::uint8_t {
    none,
    fish_purple,      // purple spotted fish, facing left
    puffer_inflated,  // yellow pufferfish puffed up, facing right
    puffer_deflated,  // the same fish long and flat, facing right
    shell_open,       // open shell holding a pearl
    shell_closed,
    smiley_closed,  // yellow smiley, closed smile
    smiley_open,    // yellow smiley, open red mouth
    smiley_nose,    // yellow smiley with a nose and an open red mouth
    air_tanks,      // 28 x 24 pixel bitmap
    extra_life,     // hanging olive-green item on a blue cord
    icon_info,
    icon_question,
    underwater,  // 577 x 485 pixel background
};
inline constexpr int kPictureCount = 14;

std::string_view picture_name(Picture picture);

// "TEXT" with \" and \\ escaped, for logs and dumps.
std::string quoted(std::string_view text);

// Shortest text that reads back to the same float.
std::string format_single(Single value);

}  // namespace ui
