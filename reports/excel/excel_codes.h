#pragma once

// The spreadsheet's own codes for the properties this layer sets.
namespace zorvek {

inline constexpr int kXlNone = -4142;       // no line, no fill
inline constexpr int kXlAutomatic = -4105;  // automatic colour

inline constexpr int kXlContinuous = 1;

inline constexpr int kXlHairline = 1;
inline constexpr int kXlThin = 2;
inline constexpr int kXlMedium = -4138;
inline constexpr int kXlThick = 4;

inline constexpr int kXlAlignGeneral = 1;
inline constexpr int kXlAlignLeft = -4131;
inline constexpr int kXlAlignCentre = -4108;
inline constexpr int kXlAlignRight = -4152;

// Arguments of Borders(i).
inline constexpr int kXlDiagonalDown = 5;
inline constexpr int kXlDiagonalUp = 6;
inline constexpr int kXlEdgeLeft = 7;
inline constexpr int kXlEdgeTop = 8;
inline constexpr int kXlEdgeBottom = 9;
inline constexpr int kXlEdgeRight = 10;
inline constexpr int kXlInsideVertical = 11;
inline constexpr int kXlInsideHorizontal = 12;

inline constexpr int kXlNormalView = 1;
inline constexpr int kXlPageBreakPreview = 2;

inline constexpr int kXlPortrait = 1;
inline constexpr int kXlLandscape = 2;

// Colour index of the standard palette.
inline constexpr int kXlColourRed = 3;

}  // namespace zorvek
