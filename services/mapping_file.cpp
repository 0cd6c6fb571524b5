#include "services/mapping_file.h"

#include <algorithm>

#include "services/code_page.h"
#include "services/link_fields.h"

namespace linkmill::services {
namespace {

constexpr const char* kGbk = "CP936";

std::vector<std::string_view> Split(std::string_view s, char separator) {
  std::vector<std::string_view> parts;
  while (true) {
    std::size_t at = s.find(separator);
    parts.push_back(s.substr(0, at));
    if (at == std::string_view::npos) return parts;
    s.remove_prefix(at + 1);
  }
}

bool IsBlank(std::string_view line) {
  return std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t'; });
}

// Reads one mapping line into file, or says what is wrong with it.
std::string ReadLine(std::string_view line, bool gbk, MappingFile* file) {
  std::vector<std::string_view> fields = Split(line, '\t');
  if (fields.size() != 3) return "expected three fields separated by tabs";
  std::string_view kind = fields[0];
  std::string_view key = fields[1];
  if (kind == "bdhd") {
    if (!IsHexDigits(key, kBdhdHashLength)) return "the bdhd hash is not 32 hexadecimal digits";
    if (!IsHexDigits(fields[2], kEd2kHashLength)) {
      return "the ed2k hash is not 32 hexadecimal digits";
    }
    file->mappings.bdhd.push_back({UpperHex(key), std::string(fields[2])});
    return {};
  }
  if (kind == "qvod") {
    if (!IsHexDigits(key, kQvodHashLength)) return "the qvod hash is not 40 hexadecimal digits";
    // GBK to GBK keeps the bytes and checks that they are valid GBK.
    std::optional<std::string> link =
        gbk ? ConvertCodePage(fields[2], kGbk, kGbk) : ConvertCodePage(fields[2], "UTF-8", kGbk);
    if (!link) {
      return gbk ? "the link is neither UTF-8 nor GBK" : "the link holds a character GBK lacks";
    }
    std::string_view fault = BdhdLinkFault(*link);
    if (!fault.empty()) return std::string(fault);
    file->mappings.qvod.push_back({UpperHex(key), std::move(*link)});
    return {};
  }
  return "the first field is neither \"bdhd\" nor \"qvod\"";
}

}  // namespace

MappingFile ParseMappingFile(std::string_view bytes) {
  MappingFile file;
  file.gbk = !IsValidUtf8(bytes);
  if (!file.gbk && bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  std::vector<std::string_view> lines = Split(bytes, '\n');
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string_view line = lines[i];
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (IsBlank(line) || line.starts_with('#')) continue;
    std::string fault = ReadLine(line, file.gbk, &file);
    if (!fault.empty()) file.faults.push_back({static_cast<int>(i + 1), std::move(fault)});
  }
  return file;
}

std::optional<std::string> FormatMappingFile(const Mappings& mappings) {
  std::string out;
  for (const BdhdMapping& m : mappings.bdhd) {
    out += "bdhd\t" + m.bdhd_hash + "\t" + m.ed2k_hash + "\n";
  }
  for (const QvodMapping& m : mappings.qvod) {
    std::optional<std::string> link = ConvertCodePage(m.bdhd_link, kGbk, "UTF-8");
    if (!link) return std::nullopt;
    out += "qvod\t" + m.qvod_hash + "\t" + *link + "\n";
  }
  return out;
}

}  // namespace linkmill::services
