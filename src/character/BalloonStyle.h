#pragma once

// The word balloon's style bits.
namespace BalloonStyle {
enum Bit : int {
    BalloonOn = 1,
    SizeToText = 2,
    AutoHide = 4,
    AutoPace = 8,
};
inline constexpr int Default = BalloonOn | SizeToText | AutoHide | AutoPace;
} // namespace BalloonStyle
