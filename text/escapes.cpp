// The two decoders of escaped link text: %XX escapes and "\u" escapes.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "text/codepage.h"
#include "text/radix.h"
#include "text/text.h"

namespace linkmill {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool IsLead(char c) { return static_cast<unsigned char>(c) >= 0x80; }

bool IsU(char c) { return c == 'u' || c == 'U'; }

// A "\u" escape is six bytes: the backslash, the u and four digit bytes. Near
// the end of the text it is cut short.
constexpr std::size_t kEscapeLength = 6;

// The GBK text a "\u" escape stands for: its last four bytes read as a
// hexadecimal code unit, or the unit 0 (the empty text) when they are not all
// hexadecimal digits. Cached, since texts repeat the same escapes many times.
class Replacements {
 public:
  const Text& Of(std::string_view escape) {
    auto [it, added] = cache_.try_emplace(std::string(escape));
    if (added) {
      const Text digits = TextRight(escape, 4);
      it->second = CodeUnitToGbk(TextToInt(ConvertRadix(digits, 16, 10)));
    }
    return it->second;
  }

 private:
  std::unordered_map<std::string, Text> cache_;
};

// Whether walking the characters of s from its start ends exactly at its end,
// so that replacing s leaves every character boundary after it in place.
bool EndsOnBoundary(std::string_view s) {
  std::size_t p = 0;
  while (p < s.size()) p += IsLead(s[p]) ? 2 : 1;
  return p == s.size();
}

// Whether no character of g begins with "\", "u" or "U", and g ends on a
// character boundary.
bool CannotStartEscape(std::string_view g) {
  for (std::size_t p = 0; p < g.size(); p += IsLead(g[p]) ? 2 : 1) {
    if (g[p] == '\\' || IsU(g[p])) return false;
  }
  return EndsOnBoundary(g);
}

// The six bytes of an escape with ASCII letters folded to lower case, as one
// key: occurrences are found without regard to letter case.
std::uint64_t EscapeKey(std::string_view escape) {
  std::uint64_t key = 0;
  for (std::size_t i = 0; i < kEscapeLength; ++i) {
    char c = escape[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    key = key << 8 | static_cast<unsigned char>(c);
  }
  return key;
}

struct EscapeStart {
  std::size_t pos;
  bool after_backslash;  // the character before it is a lone "\"
};

// Every "\u" or "\U" at the start of a character, walking from the first byte.
std::vector<EscapeStart> FindEscapeStarts(std::string_view s) {
  std::vector<EscapeStart> starts;
  starts.reserve(static_cast<std::size_t>(std::count(s.begin(), s.end(), '\\')));
  const std::size_t n = s.size();
  std::size_t previous = n;
  for (std::size_t p = 0; p < n;) {
    if (s[p] == '\\' && p + 1 < n && IsU(s[p + 1])) {
      starts.push_back({p, previous + 1 == p && s[previous] == '\\'});
    }
    previous = p;
    if (IsLead(s[p]) && p + 1 == n) break;
    p += IsLead(s[p]) ? 2 : 1;
  }
  return starts;
}

// The full escapes in one text, grouped by escape text (letter case aside).
//
// Replacing one escape text after the other rewrites the text over and over.
// Many replacements can be made in a single rewrite instead, with the same
// result, as long as none of them can make or break an occurrence of another:
// the escape ends on a character boundary, no other "\u" begins within five
// bytes of any of its occurrences, and its replacement neither begins an
// escape itself nor, being empty, joins a "\" before it with a "u" after it.
// Then every occurrence found in any of the texts between is one the first
// text held, untouched, so the order of the replacements makes no difference.
// Escapes where that is not sure are replaced one text at a time, and the
// index is built anew from the text that results.
class EscapeIndex {
 public:
  struct Group {
    bool isolated = true;
    bool after_backslash = false;
    const Text* replacement = nullptr;  // set once the group is to be replaced
  };

  // starts: FindEscapeStarts (s).
  EscapeIndex(std::string_view s, const std::vector<EscapeStart>& starts) {
    sites_.reserve(starts.size());
    for (std::size_t i = 0; i < starts.size(); ++i) {
      const std::size_t pos = starts[i].pos;
      if (pos + kEscapeLength > s.size()) continue;
      Group& group = groups_[EscapeKey(s.substr(pos))];
      group.isolated = group.isolated && (i == 0 || pos - starts[i - 1].pos >= kEscapeLength) &&
                       (i + 1 == starts.size() || starts[i + 1].pos - pos >= kEscapeLength);
      group.after_backslash = group.after_backslash || starts[i].after_backslash;
      sites_.push_back({pos, &group});
    }
  }

  // The group of occurrences of escape, or nullptr when it does not occur.
  Group* Find(std::string_view escape) {
    auto it = groups_.find(EscapeKey(escape));
    return it == groups_.end() ? nullptr : &it->second;
  }

  // Whether the group can be replaced in the same rewrite as the others.
  static bool CanJoin(std::string_view escape, const Group& group, std::string_view replacement) {
    if (!group.isolated || !EndsOnBoundary(escape)) return false;
    return replacement.empty() ? !group.after_backslash : CannotStartEscape(replacement);
  }

  // s, which the index was built from, with every occurrence of the groups
  // marked for replacement replaced.
  Text Rewrite(std::string_view s) const {
    Text out;
    out.reserve(s.size());
    std::size_t done = 0;
    for (const Site& site : sites_) {
      if (site.group->replacement == nullptr) continue;
      out.append(s.substr(done, site.pos - done));
      out += *site.group->replacement;
      done = site.pos + kEscapeLength;
    }
    out.append(s.substr(done));
    return out;
  }

 private:
  struct Site {
    std::size_t pos;
    Group* group;
  };
  std::unordered_map<std::uint64_t, Group> groups_;
  std::vector<Site> sites_;
};

}  // namespace

// Malformed escapes ("%" not followed by two hexadecimal digits) are kept as
// they are, so a stray "%" in a text does not swallow the bytes after it.
Text PercentDecode(std::string_view t) {
  ByteBuffer bytes(t.size());
  unsigned char* at = bytes.data();
  std::size_t i = 0;
  while (i < t.size()) {
    const std::size_t percent = std::min(t.find('%', i), t.size());
    at = std::copy(t.begin() + static_cast<std::ptrdiff_t>(i),
                   t.begin() + static_cast<std::ptrdiff_t>(percent), at);
    i = percent;
    if (i == t.size()) break;
    const int hi = i + 2 < t.size() ? HexValue(t[i + 1]) : -1;
    const int lo = i + 2 < t.size() ? HexValue(t[i + 2]) : -1;
    if (hi < 0 || lo < 0) {
      *at++ = '%';
      ++i;
      continue;
    }
    if (hi != 0 || lo != 0) *at++ = static_cast<unsigned char>(hi << 4 | lo);
    i += 3;
  }
  bytes.resize(static_cast<std::size_t>(at - bytes.data()));
  return Utf8ToGbk(bytes);
}

// The escapes are taken from t, one after the other, and each replaces every
// occurrence of its own text (letter case aside) in the output so far. The
// result is exactly that of doing so one escape at a time, rewriting the text
// once for every group of escapes that cannot disturb one another.
Text UnescapeUnicode(std::string_view t) {
  const std::vector<EscapeStart> escapes = FindEscapeStarts(t);
  Text out(t);
  if (escapes.empty()) return out;
  Replacements replacements;
  EscapeIndex index(out, escapes);
  bool pending = false;
  for (const EscapeStart& start : escapes) {
    const std::string_view escape = t.substr(start.pos, kEscapeLength);
    if (escape.size() == kEscapeLength) {
      EscapeIndex::Group* group = index.Find(escape);
      // An escape that no longer occurs, or whose group is already marked,
      // replaces nothing.
      if (group == nullptr || group->replacement != nullptr) continue;
      const Text& replacement = replacements.Of(escape);
      if (EscapeIndex::CanJoin(escape, *group, replacement)) {
        group->replacement = &replacement;
        pending = true;
        continue;
      }
    }
    if (pending) {
      out = index.Rewrite(out);
      pending = false;
    }
    out = ReplaceText(out, escape, replacements.Of(escape), false);
    index = EscapeIndex(out, FindEscapeStarts(out));
  }
  if (pending) out = index.Rewrite(out);
  return out;
}

}  // namespace linkmill
