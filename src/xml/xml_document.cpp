#include "xml/xml_document.h"

#include <expat.h>

#include <algorithm>
#include <climits>
#include <cstdio>

#include "base/container_cipher.h"
#include "base/file_io.h"
#include "base/result_codes.h"
#include "xml/xml_escaping.h"

namespace vossik {
namespace {

// After a replacement by a text no longer than the key the scan resumes just
// past the start of the replaced text, so a key formed with the inserted
// text's tail is replaced too; after a longer one it skips the inserted text,
// which keeps a key contained in its own value from repeating without end.
void ReplaceAll(std::string& text, std::string_view key, std::string_view value) {
  std::size_t pos = 0;
  while ((pos = text.find(key, pos)) != std::string::npos) {
    text.replace(pos, key.size(), value);
    pos += value.size() > key.size() ? value.size() : 1;
  }
}

// `list` is "key=value,key=value"; pieces with an empty key or value do nothing.
void ApplyReplacements(std::string& text, std::string_view list) {
  for (;;) {
    const std::size_t comma = list.find(',');
    const std::string_view piece = list.substr(0, comma);
    const std::size_t equals = piece.find('=');
    if (equals != std::string_view::npos && equals > 0 && equals + 1 < piece.size())
      ReplaceAll(text, piece.substr(0, equals), piece.substr(equals + 1));
    if (comma == std::string_view::npos) return;
    list.remove_prefix(comma + 1);
  }
}

// Included files are containers of key set 3 unless `type` names another
// kind, so descriptors can ship their parts enciphered by default.
bool ReadIncludedFile(const char* file, const char* type, std::string* text) {
  if (type != nullptr && !std::string_view(type).starts_with("encrypted")) {
    return ReadWholeFile(file, text);
  }
  return ReadContainer(file, text);
}

const char* FindAttribute(const XML_Char** attributes, std::string_view name) {
  for (int i = 0; attributes[i] != nullptr; i += 2)
    if (name == attributes[i]) return attributes[i + 1];
  return nullptr;
}

std::string FormatParseError(XML_Parser parser, std::string_view text) {
  const XML_Index index = XML_GetCurrentByteIndex(parser);
  // Errors such as an unclosed element sit at the end of the input, so the
  // byte shown and the excerpt are clamped to the input.
  const bool inside = index >= 0 && static_cast<std::size_t>(index) < text.size();
  const unsigned char byte =
      inside ? static_cast<unsigned char>(text[static_cast<std::size_t>(index)]) : 0;
  std::size_t start = index < 17 ? 0 : static_cast<std::size_t>(index - 16);
  start = std::min(start, text.size());
  const std::string excerpt(text.substr(start, 32));
  const char* reason = XML_ErrorString(XML_GetErrorCode(parser));
  const char* format = "error '%s' at line %ld, byte index %ld [%c 0x%d] in [%s]";
  const auto line = static_cast<long>(XML_GetCurrentLineNumber(parser));
  // A NUL byte would cut the message short wherever it is used as C text.
  const int shown = byte == 0 ? ' ' : byte;
  const auto format_into = [&](char* out, std::size_t size) {
    return std::snprintf(out, size, format, reason != nullptr ? reason : "", line,
                         static_cast<long>(index), shown, static_cast<int>(byte), excerpt.c_str());
  };
  std::string message(static_cast<std::size_t>(std::max(format_into(nullptr, 0), 0)), '\0');
  format_into(message.data(), message.size() + 1);
  return message;
}

}  // namespace

// ---------------------------------------------------------------------------
// XmlNode

XmlNode::XmlNode(std::string name) : name_(std::move(name)) {}

XmlNode::~XmlNode() {
  // Dismantle the subtree with an explicit work list: destroying it
  // recursively would use stack in proportion to the nesting depth.
  std::vector<std::unique_ptr<XmlNode>> pending = std::move(children_);
  while (!pending.empty()) {
    std::unique_ptr<XmlNode> node = std::move(pending.back());
    pending.pop_back();
    for (auto& child : node->children_) pending.push_back(std::move(child));
    node->children_.clear();
  }
}

void XmlNode::AppendText(std::string_view text) {
  text_.append(text);
  has_text_ = true;
}

const std::string* XmlNode::Attribute(std::string_view name) const {
  for (const auto& [key, value] : attributes_)
    if (key == name) return &value;
  return nullptr;
}

void XmlNode::AddAttribute(std::string name, std::string value) {
  attributes_.emplace_back(std::move(name), std::move(value));
}

XmlNode* XmlNode::AppendChild(std::unique_ptr<XmlNode> child) {
  if (!child) return nullptr;
  child->parent_ = this;
  child->next_sibling_ = nullptr;
  if (!children_.empty()) children_.back()->next_sibling_ = child.get();
  children_.push_back(std::move(child));
  return children_.back().get();
}

std::unique_ptr<XmlNode> XmlNode::DetachChild(XmlNode* child) {
  const auto it = std::find_if(children_.begin(), children_.end(),
                               [child](const auto& owned) { return owned.get() == child; });
  if (it == children_.end()) return nullptr;
  if (it != children_.begin()) (*(it - 1))->next_sibling_ = child->next_sibling_;
  std::unique_ptr<XmlNode> detached = std::move(*it);
  children_.erase(it);
  detached->parent_ = nullptr;
  detached->next_sibling_ = nullptr;
  return detached;
}

namespace {

const XmlNode* FindInChain(const XmlNode* first, std::string_view name) {
  for (const XmlNode* node = first; node != nullptr; node = node->NextSibling())
    if (node->Name() == name) return node;
  return nullptr;
}

}  // namespace

XmlNode* XmlNode::FindElement(std::string_view name, const XmlNode* start, bool recursive) const {
  const XmlNode* first = start != nullptr ? start : FirstChild();
  const XmlNode* found = FindInChain(first, name);
  if (found == nullptr && recursive) {
    // Each entry is the next child to descend into at one level; descending
    // scans that child's direct children before going deeper. Iterative, so
    // deep trees cannot exhaust the stack.
    std::vector<const XmlNode*> next_at_level{first};
    while (found == nullptr && !next_at_level.empty()) {
      const XmlNode* node = next_at_level.back();
      if (node == nullptr) {
        next_at_level.pop_back();
        continue;
      }
      next_at_level.back() = node->NextSibling();
      found = FindInChain(node->FirstChild(), name);
      next_at_level.push_back(node->FirstChild());
    }
  }
  return const_cast<XmlNode*>(found);
}

const std::string* XmlNode::ElementText(std::string_view name, const XmlNode* start,
                                        bool recursive) const {
  const XmlNode* node = FindElement(name, start, recursive);
  return node != nullptr && node->HasText() ? &node->Text() : nullptr;
}

// ---------------------------------------------------------------------------
// XmlDocument

// What the expat handlers of one parse share.
struct XmlDocument::ParseState {
  XmlDocument* document;
  int include_depth;
  int* includes_left;  // shared by the whole document and every file it includes
  XmlNode* current = nullptr;
  // For every open start tag, the element that becomes current again at its
  // end tag. The parent of the current element is not always it: an
  // "xmlinclude" that splices children in makes the first of them current,
  // and one that splices nothing in leaves the current element as it was.
  std::vector<XmlNode*> resume;

  XmlNode* Attach(std::unique_ptr<XmlNode> node) {
    if (current != nullptr) return current->AppendChild(std::move(node));
    XmlNode* raw = node.get();
    document->AppendTopLevel(std::move(node));
    return raw;
  }

  void Start(const XML_Char* name, const XML_Char** attributes) {
    resume.push_back(current);
    if (std::string_view(name) == "xmlinclude") {
      Include(attributes);
      return;
    }
    auto node = std::make_unique<XmlNode>(name);
    for (int i = 0; attributes[i] != nullptr; i += 2)
      node->AddAttribute(attributes[i], attributes[i + 1]);
    current = Attach(std::move(node));
  }

  void End() {
    if (resume.empty()) return;
    current = resume.back();
    resume.pop_back();
  }

  // Character data sections hand their text over undecoded, so descriptors
  // write markup there as entity sequences and rely on this second pass. It
  // works on each piece as the parser delivers it: a sequence split between
  // pieces stays as written.
  void Text(std::string_view piece) {
    if (piece.empty() || current == nullptr) return;
    std::string decoded;
    AppendDecoded(decoded, piece);
    current->AppendText(decoded);
  }

  void Include(const XML_Char** attributes) {
    std::unique_ptr<XmlNode> chosen = LoadIncluded(attributes);
    if (chosen && FindAttribute(attributes, "flatten") != nullptr) {
      XmlNode* first = nullptr;
      for (auto& child : TakeChildren(*chosen)) {
        XmlNode* added = Attach(std::move(child));
        if (first == nullptr) first = added;
      }
      if (first != nullptr) current = first;
      return;
    }
    if (!chosen) chosen = std::make_unique<XmlNode>("xmlinclude");
    for (int i = 0; attributes[i] != nullptr; i += 2)
      chosen->AddAttribute(attributes[i], attributes[i + 1]);
    current = Attach(std::move(chosen));
  }

  // The element the include takes from its file, detached; nullptr when the
  // file cannot be read or parsed, the element is not there, or the includes
  // are nested too deep (a file including itself would otherwise recurse
  // until the stack runs out).
  std::unique_ptr<XmlNode> LoadIncluded(const XML_Char** attributes) const {
    const char* file = FindAttribute(attributes, "file");
    if (file == nullptr || include_depth >= kMaxIncludeDepth || *includes_left <= 0) return nullptr;
    --*includes_left;
    std::string text;
    if (!ReadIncludedFile(file, FindAttribute(attributes, "type"), &text)) return nullptr;
    if (const char* replace = FindAttribute(attributes, "replace"))
      ApplyReplacements(text, replace);

    XmlDocument included;
    if (included.ParseAtDepth(text, nullptr, include_depth + 1, includes_left) != kResultOk) {
      return nullptr;
    }
    XmlNode* root = included.Root();
    if (root == nullptr) return nullptr;
    XmlNode* chosen = root;
    const char* node = FindAttribute(attributes, "node");
    if (node != nullptr && root->Name() != node) {
      const std::string_view path(node);
      const std::size_t slash = path.find('/');
      if (slash == std::string_view::npos) {
        chosen = root->FindElement(path);
      } else {
        XmlNode* outer = root->FindElement(path.substr(0, slash));
        chosen = outer != nullptr ? outer->FindElement(path.substr(slash + 1)) : nullptr;
      }
    }
    if (chosen == nullptr) return nullptr;
    if (chosen == root) return included.TakeRoot();
    return chosen->Parent()->DetachChild(chosen);
  }

  static void XMLCALL OnStart(void* state, const XML_Char* name, const XML_Char** attributes) {
    static_cast<ParseState*>(state)->Start(name, attributes);
  }
  static void XMLCALL OnEnd(void* state, const XML_Char*) {
    static_cast<ParseState*>(state)->End();
  }
  static void XMLCALL OnText(void* state, const XML_Char* data, int length) {
    static_cast<ParseState*>(state)->Text(
        std::string_view(data, static_cast<std::size_t>(std::max(length, 0))));
  }
};

XmlDocument::XmlDocument() = default;
XmlDocument::~XmlDocument() = default;

int XmlDocument::Parse(std::string_view text, std::string* error) {
  int includes_left = kMaxIncludedFiles;
  return ParseAtDepth(text, error, 0, &includes_left);
}

int XmlDocument::ParseAtDepth(std::string_view text, std::string* error, int include_depth,
                              int* includes_left) {
  top_level_.clear();
  if (text.empty()) return kResultMissing;

  XML_Parser parser = XML_ParserCreate(nullptr);
  if (parser == nullptr) return kResultUnresolved;
  ParseState state{this, include_depth, includes_left};
  XML_SetUserData(parser, &state);
  XML_SetElementHandler(parser, &ParseState::OnStart, &ParseState::OnEnd);
  XML_SetCharacterDataHandler(parser, &ParseState::OnText);

  // The parser takes an int length; only a text beyond that needs more than
  // the one final call.
  std::string_view rest = text;
  bool ok = true;
  do {
    const std::size_t piece = std::min<std::size_t>(rest.size(), INT_MAX);
    ok = XML_Parse(parser, rest.data(), static_cast<int>(piece), piece == rest.size()) ==
         XML_STATUS_OK;
    rest.remove_prefix(piece);
  } while (ok && !rest.empty());

  if (!ok && error != nullptr) error->append(FormatParseError(parser, text));
  XML_ParserFree(parser);
  return ok ? kResultOk : kResultUnresolved;
}

void XmlDocument::AppendTopLevel(std::unique_ptr<XmlNode> node) {
  node->parent_ = nullptr;
  node->next_sibling_ = nullptr;
  if (!top_level_.empty()) top_level_.back()->next_sibling_ = node.get();
  top_level_.push_back(std::move(node));
}

std::unique_ptr<XmlNode> XmlDocument::TakeRoot() {
  if (top_level_.empty()) return nullptr;
  std::unique_ptr<XmlNode> root = std::move(top_level_.front());
  top_level_.erase(top_level_.begin());
  root->next_sibling_ = nullptr;
  return root;
}

std::vector<std::unique_ptr<XmlNode>> XmlDocument::TakeChildren(XmlNode& node) {
  std::vector<std::unique_ptr<XmlNode>> children = std::move(node.children_);
  node.children_.clear();
  for (auto& child : children) child->parent_ = nullptr;
  return children;
}

}  // namespace vossik
