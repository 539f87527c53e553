#pragma once

// Fixed names of the program.
inline constexpr const char* kAppTitle = "Tamsel";
inline constexpr const char* kOrganisation = "Vandrel";
inline constexpr const char* kWindowClassName = "WinTamsel32";
inline constexpr const char* kVersionText = "WinTamsel32 1.41";
inline constexpr const char* kProgramFullName = "Tamsel Database Search Client";

// The document type.
inline constexpr const char* kDocTypeName = "Tamsel Query Dialog";
inline constexpr const char* kDocNewFileName = "Database Config";
inline constexpr const char* kDocFilterText = "DB Config's(*.tcf)";
inline constexpr const char* kDocExtension = ".tcf";
inline constexpr const char* kDocTypeId = "DB_Configs";
inline constexpr const char* kDocTypeDisplayName = "Tamsel DB Browser";

// The name a first start opens when its command line is empty.
inline constexpr const char* kDefaultConfigName = "config.tcf";
