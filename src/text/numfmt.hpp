// Fixed-width number fields, the way every table and message writes them:
// right-aligned, and filled with asterisks when the value does not fit.
#pragma once

#include <string>
#include <string_view>

namespace ruvela {

// Nearest integer, halves away from zero, in single precision. Values past
// the 32-bit range saturate; NaN gives the most negative integer, which no
// field of the program can show, so it prints as asterisks.
int nint(float value);

// Appends `value` right-aligned in `width` columns ("Iw").
void put_int(std::string& out, long long value, int width);

// Appends `value` in fixed notation with `decimals` digits after the point,
// right-aligned in `width` columns ("Fw.d"). The value is rounded correctly
// from its exact binary32 value. A negative value keeps its minus sign even
// when it rounds to zero; an exact zero of either sign is written as zero.
void put_fixed(std::string& out, float value, int width, int decimals);

// The same field written over the `width` characters at `field`, for tables
// that are formatted straight into a block; returns the end of the field.
char* put_fixed(char* field, float value, int width, int decimals);

// Appends the shortest text that reads back to the same binary32 value
// (std::to_chars), for files that other programs read. NaN and the
// infinities are written NaN, Inf and -Inf, which R, Python and pandas all read.
void put_shortest(std::string& out, float value);

std::string int_field(long long value, int width);

// The shortest text that reads back as the same float ("45.3", "1e+30").
std::string shortest_text(float value);
std::string fixed_field(float value, int width, int decimals);

}  // namespace ruvela
