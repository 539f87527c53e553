#pragma once

// Command ids: what a menu item, toolbar button or key sends. The numbers are
// the program's historic ones; the commands that never had a number of their
// own count from 32001.
inline constexpr int kCmdOpenLocal = 57601;
inline constexpr int kCmdCloseDocument = 57602;
inline constexpr int kCmdPrintSetup = 57606;
inline constexpr int kCmdOpenRemote = 31033;
inline constexpr int kCmdExit = 31021;
inline constexpr int kCmdSaveMail = 31016;
inline constexpr int kCmdPrintResult = 31017;
inline constexpr int kCmdUndo = 57643;
inline constexpr int kCmdCut = 57635;
inline constexpr int kCmdCopy = 57634;
inline constexpr int kCmdPaste = 57637;
inline constexpr int kCmdClear = 31018;
inline constexpr int kCmdClearAll = 30078;
inline constexpr int kCmdFindText = 31031;
inline constexpr int kCmdFindNext = 31032;
inline constexpr int kCmdChangeFont = 30079;
inline constexpr int kCmdEcho = 30072;
inline constexpr int kCmdMoreTitles = 1081;
inline constexpr int kCmdFindPrevHighlight = 1139;
inline constexpr int kCmdFindNextHighlight = 1140;
inline constexpr int kCmdBrowseList = 1032;
inline constexpr int kCmdConnect = 31007;
inline constexpr int kCmdDisconnect = 31008;
inline constexpr int kCmdAboutDatabase = 32001;
inline constexpr int kCmdRecordFormat = 31004;
inline constexpr int kCmdSaveFormatOptions = 31014;
inline constexpr int kCmdSaveWindowPosition = 31020;
inline constexpr int kCmdDefaultMailhost = 31028;
inline constexpr int kCmdDefaultUrl = 31034;
inline constexpr int kCmdWebBrowser = 31038;
inline constexpr int kCmdSplashOn = 31040;
inline constexpr int kCmdDatabaseHelp = 32002;
inline constexpr int kCmdQueryName = 32003;
inline constexpr int kCmdQueryDelete = 32004;
inline constexpr int kCmdQueryDeleteAll = 32005;
inline constexpr int kCmdQuerySelect = 32006;
inline constexpr int kCmdQueryLoad = 32007;
inline constexpr int kCmdQuerySave = 32008;
// Ours: the packet trace for driver authors.
inline constexpr int kCmdPacketTrace = 32009;
inline constexpr int kCmdViewToolbar = 59392;
inline constexpr int kCmdViewStatusBar = 59393;
inline constexpr int kCmdWindowCascade = 57650;
inline constexpr int kCmdWindowTile = 57651;
inline constexpr int kCmdWindowArrange = 57649;
inline constexpr int kCmdAbout = 57664;
inline constexpr int kCmdHelpIndex = 57667;
inline constexpr int kCmdUsingHelp = 57668;
inline constexpr int kCmdContextHelp = 57669;
inline constexpr int kCmdHelp = 57670;
inline constexpr int kCmdNextPane = 57680;
inline constexpr int kCmdPrevPane = 57681;

// Status bar panes.
inline constexpr int kPaneMenuPrompt = 0;
inline constexpr int kPaneMessage = 59142;
inline constexpr int kPaneCapsLock = 59137;
inline constexpr int kPaneNumLock = 59138;
inline constexpr int kPaneScrollLock = 59139;
