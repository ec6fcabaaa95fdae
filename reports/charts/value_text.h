#pragma once

#include <string>

// The numbers a histogram writes: value marks above the bars and labels of
// the value axis. The decimal point is ".", whatever the locale, except in
// the shares of the crane's duty appendix, which writes a decimal comma.
namespace zorvek {

enum class MarkStyle {
    Whole,  // counts and seconds: "0", "16777215"
    Real,   // tonnes, one decimal as in the document's tables: "12.5"
    Share,  // per cent of the cycles, one decimal after a comma: "12,5"
};

// Text of a bar's value mark. Whole rounds to the nearest integer; Real
// rounds to one decimal, halves away from zero, except that exactly 0 reads
// "0" in either style. Values of a billion and more in magnitude read in
// short scientific form ("3.4e+38") so that the mark stays within its bar's
// slot; NaN and infinities read "?".
std::u16string MarkText(double value, MarkStyle style);

// Text of the value axis label at `value`, with as many decimals as the tick
// step `step` needs (none for steps of 1 and more). From 10 000 on the
// thousands are set off by a thin space ("1 500 000"); huge values read in
// short scientific form.
std::u16string AxisLabel(double value, double step);

}  // namespace zorvek
