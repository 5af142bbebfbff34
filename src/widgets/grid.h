#pragma once

// The window's fixed geometry: every page sits at one origin right of the page-button column,
// group boxes keep one margin, and parameter rows follow one grid.

namespace orvo::widgets::grid {

inline constexpr int kWindowWidth = 800;  // outer size, frame included
inline constexpr int kWindowHeight = 565;
inline constexpr int kPageButtonWidth = 120;
inline constexpr int kPageButtonHeight = 80;
inline constexpr int kPageLeft = kPageButtonWidth;
inline constexpr int kPageTop = 0;
inline constexpr int kPageWidth = 672;
inline constexpr int kPageHeight = 470;

inline constexpr int kMarginM = 10;  // left edge of group boxes and first-column controls
inline constexpr int kMarginT = 10;  // top edge of group boxes
inline constexpr int kRowPitch = 25;
inline constexpr int kSummaryRowPitch = 20;
inline constexpr int kFirstRow = 30;  // below the top of its group box
inline constexpr int kLimitsFirstRow = 25;

inline constexpr int kCaptionLeft = 0;
inline constexpr int kInputLeft = 185;
inline constexpr int kInputRaise = 3;  // an input sits 3 pixels above its caption's top
inline constexpr int kStatusLeft = 300;
inline constexpr int kApplyLeft = 295;
inline constexpr int kEditWidth = 110;
inline constexpr int kStatusSize = 16;
inline constexpr int kApplySize = 24;
inline constexpr int kGlyphSize = 18;
inline constexpr int kParameterGroupWidth = 321;
inline constexpr int kLimitsBoxHeight = 100;

// Control heights every page shares.
inline constexpr int kLabelHeight = 16;  // a one-line caption or value
inline constexpr int kEditHeight =
    21;  // an entry field on the identification, position and factory pages
inline constexpr int kButtonHeight = 25;  // a push button with a caption

// Top of the n-th row (0-based) of a parameter group.
constexpr int rowTop(int row) {
    return kFirstRow + row * kRowPitch;
}

}  // namespace orvo::widgets::grid
