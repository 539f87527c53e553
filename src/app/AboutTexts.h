#pragma once

// The maker's texts of the splash window and the About box.
inline constexpr const char* kVersionLabel = "Version";
inline constexpr const char* kMakerCopyrightText = "Copyright (C) Vandrel";
inline constexpr const char* kMakerDescriptionText =
    "Searches remote text databases through their database drivers.";
