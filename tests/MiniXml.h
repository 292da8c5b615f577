// A small reader for the XML the tests look at: the plug-in descriptor and the
// tool's documents. Elements, attributes and text; no DTDs, no CDATA.
#pragma once

#include <cctype>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace minixml {

struct Node {
  std::string name;
  std::vector<std::pair<std::string, std::string>> attrs;
  std::vector<std::unique_ptr<Node>> children;
  std::string text;

  std::string Attr(const std::string& key) const {
    for (const auto& [k, v] : attrs)
      if (k == key) return v;
    return "";
  }
  const Node* Child(const std::string& childName) const {
    for (const auto& c : children)
      if (c->name == childName) return c.get();
    return nullptr;
  }
  std::vector<const Node*> All(const std::string& childName) const {
    std::vector<const Node*> out;
    for (const auto& c : children)
      if (c->name == childName) out.push_back(c.get());
    return out;
  }
};

class Parser {
 public:
  explicit Parser(const std::string& text) : s_(text) {}

  // The root element; throws std::runtime_error on malformed input.
  std::unique_ptr<Node> Parse() {
    SkipMisc();
    auto root = Element();
    SkipMisc();
    if (i_ != s_.size()) Fail("content after the root element");
    return root;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw std::runtime_error(what + " at offset " + std::to_string(i_));
  }
  bool At(const char* p) const { return s_.compare(i_, std::char_traits<char>::length(p), p) == 0; }
  void SkipSpace() {
    while (i_ < s_.size() && isspace(static_cast<unsigned char>(s_[i_]))) ++i_;
  }
  void SkipPast(const char* end) {
    const size_t at = s_.find(end, i_);
    if (at == std::string::npos) Fail(std::string("no ") + end);
    i_ = at + std::char_traits<char>::length(end);
  }
  void SkipMisc() {
    for (SkipSpace(); At("<?") || At("<!--"); SkipSpace()) SkipPast(At("<?") ? "?>" : "-->");
  }
  static std::string Decode(const std::string& raw) {
    static const std::pair<const char*, char> kEntities[] = {
        {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}, {"&amp;", '&'}};
    std::string out;
    for (size_t i = 0; i < raw.size();) {
      bool done = false;
      for (const auto& [entity, c] : kEntities) {
        if (raw.compare(i, std::char_traits<char>::length(entity), entity) == 0) {
          out += c;
          i += std::char_traits<char>::length(entity);
          done = true;
          break;
        }
      }
      if (!done) out += raw[i++];
    }
    return out;
  }
  std::string Name() {
    const size_t start = i_;
    while (i_ < s_.size() && (isalnum(static_cast<unsigned char>(s_[i_])) || strchr("-_:.", s_[i_]))) ++i_;
    if (i_ == start) Fail("a name expected");
    return s_.substr(start, i_ - start);
  }
  std::unique_ptr<Node> Element() {
    if (!At("<")) Fail("'<' expected");
    ++i_;
    auto node = std::make_unique<Node>();
    node->name = Name();
    for (SkipSpace(); !At(">") && !At("/>"); SkipSpace()) {
      std::string key = Name();
      SkipSpace();
      if (!At("=")) Fail("'=' expected");
      ++i_;
      SkipSpace();
      const char quote = i_ < s_.size() ? s_[i_] : '\0';
      if (quote != '"' && quote != '\'') Fail("quoted value expected");
      const size_t end = s_.find(quote, ++i_);
      if (end == std::string::npos) Fail("unterminated value");
      node->attrs.emplace_back(std::move(key), Decode(s_.substr(i_, end - i_)));
      i_ = end + 1;
    }
    if (At("/>")) {
      i_ += 2;
      return node;
    }
    ++i_;
    std::string raw;
    while (!At("</")) {
      if (i_ >= s_.size()) Fail("unclosed <" + node->name + ">");
      if (At("<!--")) {
        SkipPast("-->");
      } else if (At("<")) {
        node->children.push_back(Element());
      } else {
        raw += s_[i_++];
      }
    }
    i_ += 2;
    if (Name() != node->name) Fail("mismatched </" + node->name + ">");
    SkipSpace();
    if (!At(">")) Fail("'>' expected");
    ++i_;
    node->text = Decode(raw);
    return node;
  }

  const std::string& s_;
  size_t i_ = 0;
};

inline std::unique_ptr<Node> Parse(const std::string& text) { return Parser(text).Parse(); }

}  // namespace minixml
