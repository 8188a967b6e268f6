#include "json_writer.hpp"

#include <cstdio>

#include "display_text.hpp"
#include "output_sink.hpp"
#include "talvane/report/report_rows.hpp"
#include "value_text.hpp"

namespace talvane::cli {

namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

// Bytes copied as they are: printable ASCII but the quote and the backslash.
bool IsPlain(unsigned char c) { return c >= 0x20 && c < 0x80 && c != '"' && c != '\\'; }

std::string Escaped(unsigned char c) {
  switch (c) {
    case '"': return "\\\"";
    case '\\': return "\\\\";
    case '\n': return "\\n";
    case '\r': return "\\r";
    case '\t': return "\\t";
    case '\b': return "\\b";
    case '\f': return "\\f";
    default: break;
  }
  char escaped[8];
  std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
  return escaped;
}

// A number as JSON writes one: -?digits[.digits][(e|E)[+-]digits].
bool IsJsonNumber(std::string_view text) {
  std::size_t i = 0;
  const auto digits = [&] {
    const std::size_t start = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    return i > start;
  };
  if (i < text.size() && text[i] == '-') ++i;
  if (!digits()) return false;
  if (i < text.size() && text[i] == '.' && (++i, !digits())) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (!digits()) return false;
  }
  return i == text.size();
}

// Appends to a std::string as OutputSink appends to its buffer.
struct StringAppender {
  std::string& text;
  void Append(std::string_view more) { text += more; }
  void Append(char c) { text += c; }
};

// The text as a JSON string, quotes included. Runs of bytes that need no escape are appended at once.
template <class Destination>
void AppendJsonString(std::string_view text, Destination& out) {
  out.Append('"');
  std::size_t run = 0;  // start of the bytes not yet appended
  std::size_t i = 0;
  while (i < text.size()) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (IsPlain(byte)) {
      ++i;
      continue;
    }
    const std::size_t length = byte < 0x80 ? 1 : Utf8CharLength(text.substr(i));
    if (length > 1) {  // a well-formed multi-byte character stays in the run
      i += length;
      continue;
    }
    out.Append(text.substr(run, i - run));
    if (length == 0) out.Append(kReplacementCharacter);
    else out.Append(Escaped(byte));
    run = ++i;
  }
  out.Append(text.substr(run));
  out.Append('"');
}

}  // namespace

void JsonWriter::Begin(const ReportRows& rows) {
  for (int32_t c = 0; c < rows.ColumnCount(); ++c) {
    std::string key = c > 0 ? ", " : "";
    StringAppender appender{key};
    AppendJsonString(rows.ColumnName(c), appender);
    keys_.push_back(key + ": ");
  }
  out_.Append('[');
}

void JsonWriter::Row(const ReportRows& rows) {
  out_.Append(anyRow_ ? ",\n{" : "\n{");
  anyRow_ = true;
  for (int32_t c = 0; c < rows.ColumnCount(); ++c) {
    out_.Append(keys_[static_cast<std::size_t>(c)]);
    switch (rows.Kind(c)) {
      case db::ValueKind::kNull: out_.Append("null"); break;
      case db::ValueKind::kInteger: out_.Append(rows.Text(c)); break;
      case db::ValueKind::kReal: Real(rows.Text(c)); break;
      case db::ValueKind::kText: String(rows.Text(c)); break;
      case db::ValueKind::kBlob: String(HexText(rows.Text(c))); break;
    }
  }
  out_.Append('}');
}

void JsonWriter::End() { out_.Append(anyRow_ ? "\n]\n" : "]\n"); }

void JsonWriter::String(std::string_view text) { AppendJsonString(text, out_); }

// SQLite writes an infinite real as "Inf" or "-Inf", which JSON has no number for.
void JsonWriter::Real(std::string_view text) {
  if (IsJsonNumber(text)) out_.Append(text);
  else if (!text.empty() && text.front() == '-') out_.Append("-1e999");
  else out_.Append("1e999");
}

}  // namespace talvane::cli
