#include "widgets/resolution_group.h"

namespace orvo::widgets {

namespace {

using widgets::grid::rowTop;

// Scaling and the programmed modes are never shown together, so their rows share lines: the
// counts to display sit where the counts per turn sit, and the teach buttons take the place of
// the encoder counts, which Start/Stop does not show.
constexpr int kModeCaptionRow = 0;
constexpr int kModeButtonRow = 1;
constexpr int kInfoTurnRow = 2;
constexpr int kNumTurnsRow = 3;
constexpr int kTotalCountsRow = 4;
constexpr int kDeltaPosRow = 2;
constexpr int kDeltaUserRow = 3;
constexpr int kTeachRow = 3;

void setRowVisible(const panel::EditRow& row, bool visible) {
    row.caption->setVisible(visible);
    row.edit->setVisible(visible);
    row.apply->setVisible(visible);
}

}  // namespace

void showScalingRows(const ScaledResolutionGroup& g) {
    setRowVisible(g.infoTurn, true);
    setRowVisible(g.numTurns, true);
    g.totalCounts.caption->setVisible(true);
    g.totalCounts.value->setVisible(true);
    setRowVisible(g.deltaPos, false);
    setRowVisible(g.deltaUser, false);
    g.teachStart->setVisible(false);
    g.teachStop->setVisible(false);
}

void layoutResolutionGroup(const ScaledResolutionGroup& g) {
    g.modeCaption->setGeometry(widgets::grid::kCaptionLeft, rowTop(kModeCaptionRow),
                               panel::kCaptionWidth, panel::kCaptionHeight);
    panel::placeModeButtons({g.scaling, g.startStop, g.prog}, rowTop(kModeButtonRow),
                            g.group->width());
    panel::place(g.infoTurn, rowTop(kInfoTurnRow));
    panel::place(g.numTurns, rowTop(kNumTurnsRow));
    panel::place(g.totalCounts, rowTop(kTotalCountsRow));
    panel::place(g.deltaPos, rowTop(kDeltaPosRow));
    panel::place(g.deltaUser, rowTop(kDeltaUserRow));
    panel::placeTeachButtons(g.teachStart, g.teachStop, rowTop(kTeachRow));
    panel::placeLimitsBox(g.limitsBox, g.limitRows);

    g.infoTurn.edit->setText(QStringLiteral("262144"));
    g.numTurns.edit->setText(QStringLiteral("16384"));
    g.deltaPos.edit->setText(QStringLiteral("0"));
    g.deltaUser.edit->setText(QStringLiteral("0"));
    g.totalCounts.value->setText(QStringLiteral("?"));
    for (const panel::ValueRow& row : g.limitRows) {
        row.value->setText(QStringLiteral("?"));
    }
    panel::restTeachButtons(g.teachStart, g.teachStop);
}

void resetResolutionGroup(const ScaledResolutionGroup& g) {
    for (widgets::BitBtn* apply :
         {g.infoTurn.apply, g.numTurns.apply, g.deltaPos.apply, g.deltaUser.apply}) {
        apply->setGlyph(widgets::Glyph::EnterNeutral);
    }
    panel::restTeachButtons(g.teachStart, g.teachStop);
}

}  // namespace orvo::widgets
