#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Where each printed line goes: pages of positioned lines that the Qt
// printer draws and `tamsel-cli print-pages` lists, so both print the same.
class CPrintLayout {
 public:
  // The summary window's pages: lines at x 70, y 70 + position × line height,
  // in printer device units.
  static constexpr int kMargin = 70;
  // A position past this starts the next page.
  static constexpr int kLastPosition = 60;
  // Summary lines are cut to this many characters when printed, and mailed.
  static constexpr std::size_t kPrintedSummaryWidth = 100;
  static constexpr std::size_t kMailedSummaryWidth = 120;

  // The full record window prints into this rectangle, in twips (1/1440 inch).
  struct Rect {
    int left;
    int top;
    int right;
    int bottom;
  };
  static constexpr Rect kRecordRect{350, 350, 10800, 12960};
  static constexpr int kTwipsPerInch = 1440;

  enum class Kind {
    List,    // the full or selected title list
    Summary  // the one summary
  };

  struct Line {
    int position = 0;  // line number on its page
    int x = 0;
    int y = 0;
    std::string text;
  };
  struct Page {
    std::vector<Line> lines;
  };

  // The header's lines as printed: split at line feeds, empty pieces dropped.
  static std::vector<std::string> HeaderLines(const std::string& header);
  // The summary box's lines, each cut to `width` characters.
  static std::vector<std::string> SummaryLines(const std::string& summaryText, std::size_t width);

  // The summary window's print job: header lines and one empty line, then
  // the content lines. Nothing wraps. Always at least one page.
  static std::vector<Page> LayOutSummaryWindow(Kind kind, const std::string& header,
                                               const std::vector<std::string>& lines,
                                               int lineHeight);

  // The summary window's font height on the printer: through points, in
  // integer arithmetic in this order, as the screen font was measured.
  static int PrinterFontHeight(int screenHeight, int screenDpiY, int printerDpiY);

  // The full record window's print job: the header in front of the text,
  // laid out in the record rectangle with a fixed-pitch font of `lineHeight`
  // and `charWidth` twips, wrapping at blanks. Positions are in twips.
  static std::vector<Page> LayOutRecord(const std::string& header, const std::string& text,
                                        int lineHeight, int charWidth);
  // A twips coordinate in device units of a `dpi` printer.
  static int TwipsToDevice(int twips, int dpi) { return twips * dpi / kTwipsPerInch; }

 private:
  static std::vector<std::string> SplitLines(const std::string& text);
  static std::vector<std::string> Wrap(const std::string& line, std::size_t width);
};
