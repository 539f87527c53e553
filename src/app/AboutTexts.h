#pragma once

// The maker's texts of the splash window and the About box.
inline constexpr const char* kVersionLabel = "Version";
inline constexpr const char* kMakerCopyrightText = "Copyright (C) Vandrel";
inline constexpr const char* kMakerDescriptionText =
    "Searches remote text databases through their database drivers.";
inline constexpr const char* kMakerContactText = "Questions and reports: support@vandrel.example";
inline constexpr const char* kMakerDocumentationText =
    "Help: the Help menu, or \"tamsel-cli help\" for the command-line client.";
