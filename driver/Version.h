#pragma once
// The product's identity as it appears in the banner and in JEDEC headers.
// The version text is kept here and only here.

namespace fusecvt {

inline constexpr const char kMakerName[] = "Fusecvt Project";
// Begins and ends with a blank: it is written unchanged after STX in JEDEC files.
inline constexpr const char kVersionText[] = " 1.0.0 ";
inline constexpr const char kBuildDate[] = "Dec 07 2026";
inline constexpr const char kRightsNotice[] =
    "Copyright (c) 2026 the fusecvt developers. All rights reserved.";

}  // namespace fusecvt
