// Text as gnuplot reads it: string literals that keep a path what it is, and labels that
// cannot break the script or the SVG.
#pragma once

#include <string>

// A gnuplot string literal of exactly this text.
std::string gnuplot_string(const std::string& text);

// Text shown in the picture: a line break would end the gnuplot command, a control
// character or a broken UTF-8 sequence would spoil the SVG, so they become blanks and '?'.
std::string shown(const std::string& text);

// "label (unit)", or the label alone without a unit.
std::string with_unit(const std::string& label, const std::string& unit);
