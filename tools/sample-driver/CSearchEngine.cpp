#include "CSearchEngine.h"

#include <algorithm>
#include <iterator>

#include "CSampleDatabase.h"
#include "SampleText.h"
#include "app/FormatText.h"

namespace {

RecordList Intersect(const RecordList& a, const RecordList& b) {
  RecordList out;
  std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
  return out;
}

RecordList Unite(const RecordList& a, const RecordList& b) {
  RecordList out;
  std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
  return out;
}

}  // namespace

bool CSearchEngine::Run(const SearchRequest& request, SearchResult& result,
                        std::string& error) const {
  bool any = false;
  RecordList records;
  auto narrow = [&any, &records](RecordList found) {
    records = any ? Intersect(records, found) : std::move(found);
    any = true;
  };
  for (const TermRecord& term : request.terms) {
    RecordList found;
    if (!RunTerm(term, found, &result.highlights, error)) {
      return false;
    }
    narrow(std::move(found));
  }
  for (const std::string& limit : request.limits) {
    RecordList found;
    if (!RunLimit(limit, found, error)) {
      return false;
    }
    narrow(std::move(found));
  }
  if (!any) {
    error = "The search request holds no search terms";
    return false;
  }
  result.records = std::move(records);
  return true;
}

bool CSearchEngine::ResolveField(const std::string& command, int& field, std::string& error) const {
  if (EqualsNoCase(command, "any")) {
    field = -1;
    return true;
  }
  field = db.FieldId(command);
  if (field < 0) {
    error = FormatText("The %s database has no field \"%s\"", db.Name().c_str(), command.c_str());
    return false;
  }
  return true;
}

bool CSearchEngine::RunTerm(const TermRecord& term, RecordList& records,
                            std::vector<HighlightTerm>* highlights, std::string& error) const {
  int field = -1;
  if (!ResolveField(term.fieldCommand, field, error)) {
    return false;
  }
  if (term.rangeType == RANGE_NONE) {
    return RunWords(term.text, field, records, highlights, error);
  }
  if (field < 0) {
    error = FormatText("A range needs one field, not \"%s\"", term.fieldCommand.c_str());
    return false;
  }
  return RunRange(term.text, term.rangeType, field, records, error);
}

bool CSearchEngine::RunWords(const std::string& text, int field, RecordList& records,
                             std::vector<HighlightTerm>* highlights, std::string& error) const {
  TermExpression expression;
  if (!CQueryParser::ParseTerms(text, expression, error)) {
    return false;
  }
  records.clear();
  for (const auto& alternative : expression.alternatives) {
    RecordList matches;
    bool first = true;
    for (const WordUnit& unit : alternative) {
      RecordList found = unit.words.empty() ? db.RecordsWithField(field)
                                            : db.Index().FindPhrase(unit.words, unit.prefix, field);
      matches = first ? std::move(found) : Intersect(matches, found);
      first = false;
      if (highlights) {
        for (std::size_t w = 0; w < unit.words.size(); ++w) {
          highlights->push_back({field, unit.words[w], unit.prefix && w + 1 == unit.words.size()});
        }
      }
    }
    records = Unite(records, matches);
  }
  return true;
}

bool CSearchEngine::RunRange(const std::string& text, int rangeType, int field, RecordList& records,
                             std::string& error) const {
  RangeBounds bounds;
  if (!CQueryParser::ParseRange(text, rangeType, bounds, error)) {
    return false;
  }
  const CFieldValues& values = db.Values(field);
  const CFieldValues::Keys& keys =
      rangeType == RANGE_NUMERIC ? values.NumberKeys() : values.DateKeys();
  if (keys.empty()) {
    error = FormatText(rangeType == RANGE_NUMERIC ? "The field \"%s\" holds no numbers"
                                                  : "The field \"%s\" holds no dates",
                       db.FieldName(field).c_str());
    return false;
  }
  records = CFieldValues::InRange(keys, bounds.low, bounds.high);
  return true;
}

bool CSearchEngine::RunLimit(const std::string& limit, RecordList& records,
                             std::string& error) const {
  std::size_t equals = limit.find('=');
  if (equals != std::string::npos) {
    std::string fieldName = TrimBlanks(limit.substr(0, equals));
    std::string value = TrimBlanks(limit.substr(equals + 1));
    int field = db.FieldId(fieldName);
    if (field < 0) {
      error = FormatText("Unknown limit field \"%s\" in \"%s\"", fieldName.c_str(), limit.c_str());
      return false;
    }
    bool prefix = !value.empty() && value.back() == '*';
    if (prefix) {
      value.pop_back();
    }
    records = db.Values(field).Matching(value, prefix);
    return true;
  }
  if (CQueryParser::LooksLikeRange(limit)) {
    for (int kind : {RANGE_DAY, RANGE_NUMERIC}) {
      for (int f = 0; f < db.FieldCount(); ++f) {
        const CFieldValues& values = db.Values(f);
        if (kind == RANGE_DAY ? values.AllDates() : values.AllNumbers()) {
          return RunRange(limit, kind, f, records, error);
        }
      }
    }
    error = FormatText("The %s database has no dates or numbers for the range \"%s\"",
                       db.Name().c_str(), limit.c_str());
    return false;
  }
  return RunWords(limit, -1, records, nullptr, error);
}
