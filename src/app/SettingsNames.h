#pragma once

// Sections, entries and defaults of the per-user settings store. Names are
// used exactly as written here, trailing colons included: they are the keys
// found in existing settings files.

// Start-up switches.
inline constexpr const char* kSectionOptions = "Options";
inline constexpr const char* kEntrySplash = "Splash";
inline constexpr int kDefaultSplash = 0;  // 0 shows the splash window, 1 suppresses it
inline constexpr const char* kEntryKiosk = "Kiosk";
inline constexpr int kDefaultKiosk = 0;

// The most-recently-used configuration URLs: the default URL, then five recent ones.
inline constexpr const char* kSectionDefaultUrl = "Default URL Section";
inline constexpr const char* kEntryDefaultUrl = "Default URL:";
inline constexpr const char* kEntryRecentUrlFormat = "Recent URL %d:";
inline constexpr int kRecentUrlCount = 5;
inline constexpr int kMaxUrlListLength = 1 + kRecentUrlCount;
inline constexpr const char* kDefaultUrlText = "";

// The web browser program's path.
inline constexpr const char* kSectionBrowser = "Browser Section";
inline constexpr const char* kEntryBrowser = "Browser:";
inline constexpr const char* kDefaultBrowser = "";

// Main window placement.
inline constexpr const char* kSectionWindowPosition = "Window Position";
inline constexpr const char* kEntryX = "x";
inline constexpr const char* kEntryY = "y";
inline constexpr const char* kEntryWidth = "width";
inline constexpr const char* kEntryHeight = "height";
inline constexpr int kDefaultX = 0;
inline constexpr int kDefaultY = 0;
inline constexpr int kDefaultWidth = 600;
inline constexpr int kDefaultHeight = 400;
// With no stored width, a screen wider than this opens the larger window.
inline constexpr int kSmallScreenMaxWidth = 640;
inline constexpr int kLargeScreenWidth = 740;
inline constexpr int kLargeScreenHeight = 550;

// The command line a second start handed over.
inline constexpr const char* kSectionMostRecentCommandLine = "Most Recent Command Line";
inline constexpr const char* kEntryFile = "File";
inline constexpr const char* kDefaultFile = "";

// Mail host ("host" or "host:port").
inline constexpr const char* kSectionMailParameters = "Mail Parameters";
inline constexpr const char* kEntrySmtpHost = "SMTP Host";
inline constexpr const char* kDefaultSmtpHost = "";

// Record formats: one entry per database name, plus "Default"; no default text.
inline constexpr const char* kSectionDatabaseFieldFormats = "Database Field Formats";
inline constexpr const char* kEntryDefaultFieldFormat = "Default";

// The database selection dialog's saved choice.
inline constexpr const char* kSectionDefaultDatabase = "Default Database Section";
inline constexpr const char* kEntryDefaultDatabase = "Default Database:";
inline constexpr const char* kDefaultDatabase = "";
inline constexpr const char* kEntryDefaultOrder = "Default Order:";
inline constexpr int kDefaultOrder = 0;  // 0 hierarchy, otherwise alphabetic

// Fonts of the title list and the full record window.
inline constexpr const char* kSectionFont = "Font";
inline constexpr const char* kEntrySummarySize = "SummarySize";
inline constexpr int kDefaultSummarySize = -11;
inline constexpr const char* kEntrySummaryName = "SummaryName";
inline constexpr const char* kDefaultSummaryName = "Courier New";
inline constexpr const char* kEntryAbstractSize = "AbstractSize";
inline constexpr int kDefaultAbstractSize = -11;
inline constexpr const char* kEntryAbstractName = "AbstractName";
inline constexpr const char* kDefaultAbstractName = "Courier New";
