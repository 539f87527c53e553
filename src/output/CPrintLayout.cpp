#include "output/CPrintLayout.h"

std::vector<std::string> CPrintLayout::SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = text.find('\n', start);
    std::string line =
        text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    lines.push_back(line);
    if (end == std::string::npos) {
      return lines;
    }
    start = end + 1;
  }
}

std::vector<std::string> CPrintLayout::HeaderLines(const std::string& header) {
  std::vector<std::string> lines;
  for (auto& line : SplitLines(header)) {
    if (!line.empty()) {
      lines.push_back(std::move(line));
    }
  }
  return lines;
}

std::vector<std::string> CPrintLayout::SummaryLines(const std::string& summaryText,
                                                    std::size_t width) {
  std::vector<std::string> lines = SplitLines(summaryText);
  for (auto& line : lines) {
    if (line.size() > width) {
      line.resize(width);
    }
  }
  return lines;
}

std::vector<CPrintLayout::Page> CPrintLayout::LayOutSummaryWindow(
    Kind kind, const std::string& header, const std::vector<std::string>& lines, int lineHeight) {
  std::vector<Page> pages(1);
  int position = 0;
  bool pageDue = false;
  auto draw = [&](const std::string& text) {
    // A page is started only for a line to draw on, so a job never ends
    // with a blank sheet.
    if (pageDue) {
      pages.emplace_back();
      pageDue = false;
    }
    pages.back().lines.push_back(Line{position, kMargin, kMargin + position * lineHeight, text});
  };
  if (!header.empty()) {
    for (const auto& line : HeaderLines(header)) {
      draw(line);
      ++position;
    }
    ++position;  // one empty line under the header
  }
  for (const auto& line : lines) {
    draw(line);
    if (kind == Kind::List) {
      if (++position > kLastPosition) {
        pageDue = true;
        position = 1;
      }
    } else {
      // One summary counts differently: the check comes first, so its
      // later pages begin at line 2.
      if (position > kLastPosition) {
        pageDue = true;
        position = 1;
      }
      ++position;
    }
  }
  return pages;
}

int CPrintLayout::PrinterFontHeight(int screenHeight, int screenDpiY, int printerDpiY) {
  if (screenDpiY <= 0) {
    return screenHeight;
  }
  return screenHeight * 72 / screenDpiY * printerDpiY / 72;
}

std::vector<std::string> CPrintLayout::Wrap(const std::string& line, std::size_t width) {
  std::vector<std::string> pieces;
  std::string rest = line;
  while (width > 0 && rest.size() > width) {
    std::size_t cut = rest.rfind(' ', width);
    if (cut == std::string::npos || cut == 0) {
      cut = width;  // one long word: broken where the line ends
      pieces.push_back(rest.substr(0, cut));
      rest.erase(0, cut);
    } else {
      pieces.push_back(rest.substr(0, cut));
      rest.erase(0, cut + 1);
    }
  }
  pieces.push_back(rest);
  return pieces;
}

std::vector<CPrintLayout::Page> CPrintLayout::LayOutRecord(const std::string& header,
                                                           const std::string& text, int lineHeight,
                                                           int charWidth) {
  const Rect& rect = kRecordRect;
  std::size_t width =
      charWidth > 0 ? static_cast<std::size_t>((rect.right - rect.left) / charWidth) : 0;
  int perPage = lineHeight > 0 ? (rect.bottom - rect.top) / lineHeight : 0;
  if (perPage < 1) {
    perPage = 1;
  }
  std::string whole = header + text;
  // A trailing line feed ends the last line; it starts no line of its own.
  if (!whole.empty() && whole.back() == '\n') {
    whole.pop_back();
  }
  std::vector<Page> pages(1);
  int position = 0;
  for (const auto& line : SplitLines(whole)) {
    for (auto& piece : Wrap(line, width)) {
      if (position == perPage) {
        pages.emplace_back();
        position = 0;
      }
      pages.back().lines.push_back(
          Line{position, rect.left, rect.top + position * lineHeight, std::move(piece)});
      ++position;
    }
  }
  return pages;
}
