// A small reader for the XML the tests look at: the plug-in descriptor and the
// tool's documents. Elements, attributes, text, comments; no DTDs, no CDATA,
// no character references. Strict about characters, '&' and "]]>".
#pragma once

#include <memory>
#include <regex>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace minixml {

struct Node {
  std::string name, text;
  std::vector<std::pair<std::string, std::string>> attrs;
  std::vector<std::unique_ptr<Node>> children;

  std::string Attr(const std::string& key) const {
    for (const auto& [k, v] : attrs) if (k == key) return v;
    return "";
  }
  std::vector<const Node*> All(const std::string& childName) const {
    std::vector<const Node*> out;
    for (const auto& c : children) if (c->name == childName) out.push_back(c.get());
    return out;
  }
  const Node* Child(const std::string& childName) const {
    const auto all = All(childName);
    return all.empty() ? nullptr : all.front();
  }
};

// Text or an attribute value with its entity references replaced; throws on an
// '&' that begins none of the five.
inline std::string Decode(const std::string& s) {
  static const std::pair<std::string, char> kEntities[] = {
      {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}, {"&amp;", '&'}};
  std::string out;
  for (size_t i = 0; i < s.size();) {
    size_t next = i + 1;
    char c = s[i];
    for (const auto& [entity, replacement] : kEntities)
      if (c == '&' && s.compare(i, entity.size(), entity) == 0) next = i + entity.size(), c = replacement;
    if (next == i + 1 && c == '&') throw std::runtime_error("an & that begins no entity");
    out += c;
    i = next;
  }
  return out;
}

// Throws unless s is UTF-8 (shortest forms) of characters XML 1.0 allows.
inline void CheckCharacters(const std::string& s) {
  for (size_t i = 0; i < s.size();) {
    const unsigned char lead = s[i];
    const size_t n = lead < 0x80 ? 1 : lead >> 5 == 6 ? 2 : lead >> 4 == 14 ? 3 : lead >> 3 == 30 ? 4 : 0;
    char32_t cp = n == 1 ? lead : lead & (0x7F >> n);
    bool whole = n > 0;
    for (size_t k = 1; k < n; ++k) {
      whole = whole && i + k < s.size() && (s[i + k] & 0xC0) == 0x80;
      if (whole) cp = cp << 6 | (s[i + k] & 0x3F);
    }
    static const char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (!whole || cp < kLeast[n] ||
        !(cp == 9 || cp == 10 || cp == 13 || (cp >= 0x20 && cp <= 0xD7FF) || (cp >= 0xE000 && cp <= 0xFFFD) ||
          (cp >= 0x10000 && cp <= 0x10FFFF)))
      throw std::runtime_error("a character XML does not allow at offset " + std::to_string(i));
    i += n;
  }
}

// The root element; throws std::runtime_error on malformed input.
inline std::unique_ptr<Node> Parse(const std::string& s) {
  static const std::regex kTag(R"re(([\w:.-]+)((?:\s+[\w:.-]+\s*=\s*(?:"[^"]*"|'[^']*'))*)\s*(/?))re");
  static const std::regex kAttr(R"re(([\w:.-]+)\s*=\s*(?:"([^"]*)"|'([^']*)'))re");
  auto fail = [](const std::string& what, size_t at) { throw std::runtime_error(what + " at offset " + std::to_string(at)); };
  CheckCharacters(s);
  std::vector<std::unique_ptr<Node>> open;  // open[0] holds the root
  open.push_back(std::make_unique<Node>());
  for (size_t i = 0; i < s.size();) {
    const size_t lt = std::min(s.find('<', i), s.size());
    if (s.substr(i, lt - i).find("]]>") != std::string::npos) fail("]]> in text", i);
    if (open.size() > 1) open.back()->text += Decode(s.substr(i, lt - i));
    else if (s.find_first_not_of(" \t\r\n", i) < lt) fail("text outside the root element", i);
    if ((i = lt) == s.size()) break;
    const std::string end = s.compare(i, 4, "<!--") == 0 ? "-->" : s.compare(i, 2, "<?") == 0 ? "?>" : ">";
    const size_t stop = s.find(end, i);
    if (stop == std::string::npos) fail("no " + end, i);
    const std::string tag = s.substr(i + 1, stop - i - 1);
    i = stop + end.size();
    std::smatch m;
    if (end != ">") continue;
    if (tag.starts_with('/')) {
      if (open.size() < 2 || tag.substr(1) != open.back()->name) fail("mismatched <" + tag + ">", lt);
      auto done = std::move(open.back());
      open.pop_back();
      open.back()->children.push_back(std::move(done));
    } else if (std::regex_match(tag, m, kTag)) {
      auto node = std::make_unique<Node>();
      node->name = m[1];
      const std::string attrs = m[2];
      for (std::sregex_iterator a(attrs.begin(), attrs.end(), kAttr), none; a != none; ++a)
        node->attrs.emplace_back((*a)[1], Decode((*a)[2].matched ? (*a)[2] : (*a)[3]));
      if (m[3].length()) open.back()->children.push_back(std::move(node));
      else open.push_back(std::move(node));
    } else {
      fail("a malformed tag", lt);
    }
  }
  if (open.size() != 1 || open[0]->children.size() != 1) fail("not one closed root element", s.size());
  return std::move(open[0]->children.front());
}

}  // namespace minixml
