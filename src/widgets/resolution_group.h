#pragma once

// The resolution group that the SSI and parallel panels repeat control for control: the three
// mode buttons, the Scaling values, the programmed values, the teach buttons and the encoder
// limits box. Each panel owns its controls under its own names; this holds them by role so
// that one piece of code lays out, fills and resets both.

#include <array>

#include "widgets/panel_grid.h"

namespace orvo::widgets {

struct ScaledResolutionGroup {
    QGroupBox* group = nullptr;
    QLabel* modeCaption = nullptr;
    QToolButton* scaling = nullptr;
    QToolButton* startStop = nullptr;
    QToolButton* prog = nullptr;
    panel::EditRow infoTurn{};
    panel::EditRow numTurns{};
    panel::ValueRow totalCounts{};
    panel::EditRow deltaPos{};
    panel::EditRow deltaUser{};
    widgets::BitBtn* teachStart = nullptr;
    widgets::BitBtn* teachStop = nullptr;
    QGroupBox* limitsBox = nullptr;
    // Max counts per turn, max turns, max total counts.
    std::array<panel::ValueRow, 3> limitRows{};
};

// Before anything has been read the configuration register counts as all clear, which is
// Scaling: its rows are shown and the programmed rows and the teach buttons are hidden.
void showScalingRows(const ScaledResolutionGroup& g);
// Positions inside the (already placed) group, initial texts and the teach buttons at rest.
void layoutResolutionGroup(const ScaledResolutionGroup& g);
// The group's share of the state every page switch restores.
void resetResolutionGroup(const ScaledResolutionGroup& g);

}  // namespace orvo::widgets
