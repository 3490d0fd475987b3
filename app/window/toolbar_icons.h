// The tool bar's button images and the application icon, drawn in code on an
// 18 × 18 grid (and at twice that size for high-density screens).
#pragma once

#include <QIcon>

namespace tarvo::window {

enum class ToolIcon {
  PreviousEclipse,
  NextEclipse,
  EclipseList,
  MapDisplay,
  LocalInformation,
  Simulation,
  StarMap,
  Version,
  Unused,  // the buttons with no command behind them
};

inline constexpr int kToolIconSize = 18;

QIcon toolIcon(ToolIcon kind);
QIcon applicationIcon();

}  // namespace tarvo::window
