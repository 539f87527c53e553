#include "search/CBrowseReply.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace {

constexpr char kFieldEnd = '\x1e';

// Hands out the fields of a body one at a time: a large body costs no
// memory beyond the fields actually read.
class FieldReader {
 public:
  explicit FieldReader(std::string_view body) : body(body) {}

  bool AtEnd() const { return offset >= body.size(); }

  std::optional<std::string_view> Next() {
    if (AtEnd()) {
      return std::nullopt;
    }
    std::size_t end = offset;
    while (end < body.size() && body[end] != kFieldEnd && body[end] != '\n') {
      ++end;
    }
    std::string_view field = body.substr(offset, end - offset);
    offset = end < body.size() ? end + 1 : end;
    return field;
  }

 private:
  std::string_view body;
  std::size_t offset = 0;
};

// A decimal number, blanks around it allowed (drivers ending fields with
// "\r\n" leave a carriage return). None when it is not one or does not fit.
std::optional<int> ReadNumber(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
    text.remove_prefix(1);
  }
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  bool negative = !text.empty() && text.front() == '-';
  if (negative) {
    text.remove_prefix(1);
  }
  if (text.empty()) {
    return std::nullopt;
  }
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') {
      return std::nullopt;
    }
    value = value * 10 + (c - '0');
    if (value > INT32_MAX) {
      return std::nullopt;
    }
  }
  return static_cast<int>(negative ? -value : value);
}

std::string Cut(std::string_view text, std::size_t limit) {
  return std::string(text.substr(0, limit));
}

bool ReadColumn(FieldReader& reader, CBrowseReply::Column& column) {
  auto name = reader.Next();
  auto width = reader.Next();
  auto order = reader.Next();
  auto flags = reader.Next();
  if (!flags) {
    return false;
  }
  auto widthValue = ReadNumber(*width);
  auto orderValue = ReadNumber(*order);
  if (!widthValue || !orderValue || *widthValue < 0 || *orderValue < 0 ||
      flags->size() != CBrowseReply::kFlagCount) {
    return false;
  }
  column.name = Cut(*name, CBrowseReply::kMaxColumnName);
  // No field is longer than this, so a wider column only costs padding.
  column.width = std::min(*widthValue, static_cast<int>(CBrowseReply::kMaxFieldValue));
  column.pick = (*flags)[1] == '1';
  column.displayed = (*flags)[2] == '1';
  column.nameInHeading = (*flags)[3] == '1';
  column.order = column.displayed ? *orderValue : 0;
  return true;
}

std::vector<int> DisplayOrder(const std::vector<CBrowseReply::Column>& columns) {
  std::vector<int> order;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (columns[i].displayed) {
      order.push_back(static_cast<int>(i));
    }
  }
  auto place = [&](int i) {
    int set = columns[static_cast<std::size_t>(i)].order;
    return set > 0 ? set : i + 1;
  };
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return place(a) < place(b); });
  return order;
}

}  // namespace

std::string CBrowseReply::Header::HeadingLine() const {
  std::string line;
  bool severalLines = linesPerEntry > 1;
  bool firstName = true;
  for (int index : displayOrder) {
    const Column& column = columns[static_cast<std::size_t>(index)];
    if (!column.nameInHeading) {
      continue;
    }
    if (severalLines && !firstName) {
      line += "\r\n";
    }
    firstName = false;
    line += column.name;
    if (column.width > 0 && column.name.size() < static_cast<std::size_t>(column.width) + 2) {
      line.append(static_cast<std::size_t>(column.width) + 2 - column.name.size(), ' ');
    }
  }
  return line;
}

CBrowseReply::Result CBrowseReply::ReadHeader(std::string_view body, Header& header) {
  FieldReader reader(body);
  auto total = reader.Next();
  auto columnCount = reader.Next();
  auto lines = reader.Next();
  if (!lines) {
    return Result::Malformed;
  }
  auto totalValue = ReadNumber(*total);
  auto columnValue = ReadNumber(*columnCount);
  auto lineValue = ReadNumber(*lines);
  if (!totalValue || !columnValue || !lineValue || *columnValue > kMaxColumns) {
    return Result::Malformed;
  }
  if (*totalValue < 0 || *columnValue <= 0 || *lineValue <= 0) {
    return Result::Unusable;
  }
  Header read;
  read.total = *totalValue;
  read.linesPerEntry = *lineValue;
  read.columns.resize(static_cast<std::size_t>(*columnValue));
  for (Column& column : read.columns) {
    if (!ReadColumn(reader, column)) {
      return Result::Malformed;
    }
  }
  read.displayOrder = DisplayOrder(read.columns);
  header = std::move(read);
  return Result::Ok;
}

CBrowseReply::Result CBrowseReply::ReadEntries(std::string_view body, const Header& header,
                                               int first, int maxEntries,
                                               std::vector<Entry>& entries) {
  std::size_t columnCount = header.columns.size();
  if (columnCount == 0 || first < 0) {
    return Result::Malformed;
  }
  FieldReader reader(body);
  std::vector<Entry> read;
  std::vector<std::string_view> fields;
  while (!reader.AtEnd() && static_cast<int>(read.size()) < maxEntries) {
    fields.clear();
    for (std::size_t c = 0; c < columnCount; ++c) {
      auto field = reader.Next();
      if (!field) {
        return Result::Malformed;  // the body ends inside an entry
      }
      fields.push_back(field->substr(0, kMaxFieldValue));
    }
    if (static_cast<std::int64_t>(first) + static_cast<std::int64_t>(read.size()) >= header.total) {
      return Result::Malformed;  // more entries than the list holds
    }
    Entry entry;
    entry.display = DisplayText(header, fields);
    for (std::size_t c = 0; c < columnCount; ++c) {
      if (header.columns[c].pick) {
        entry.pick = std::string(fields[c]);
      }
    }
    read.push_back(std::move(entry));
  }
  entries = std::move(read);
  return Result::Ok;
}

std::string CBrowseReply::DisplayText(const Header& header,
                                      const std::vector<std::string_view>& fields) {
  bool severalLines = header.linesPerEntry > 1;
  std::string text;
  bool firstColumn = true;
  for (int index : header.displayOrder) {
    auto c = static_cast<std::size_t>(index);
    if (c >= fields.size()) {
      break;
    }
    if (!firstColumn) {
      text += severalLines ? "\r\n" : "\t";
    }
    firstColumn = false;
    std::string value(fields[c]);
    std::size_t amp = value.find('&');
    if (severalLines && amp != std::string::npos) {
      // "Surname&Given" reads "GivenSurname" on its own line.
      value = value.substr(amp + 1) + value.substr(0, amp);
    }
    int width = header.columns[c].width;
    if (width >= 1 && value.size() > static_cast<std::size_t>(width)) {
      value.resize(static_cast<std::size_t>(width));
    }
    text += value;
  }
  return text;
}
