// XmlDocument parses an XML text (with expat) into a tree of XmlNode
// elements, splicing in the files that "xmlinclude" elements name. The
// program reads descriptors and data files this way and never writes XML.
//
// Ownership: a node owns its children and their subtrees; the document owns
// its top-level elements. Raw pointers returned by navigation stay valid
// while the document lives and is not parsed again. Destroying a tree takes
// no stack in proportion to its depth, so hostile nesting cannot overflow it.
// Neither class takes a lock; use one document from one thread at a time.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vossik {

class XmlNode {
 public:
  explicit XmlNode(std::string name);
  ~XmlNode();
  XmlNode(const XmlNode&) = delete;
  XmlNode& operator=(const XmlNode&) = delete;

  const std::string& Name() const { return name_; }
  /// The character data in document order (white space between children
  /// included); HasText() is false until some text is appended.
  const std::string& Text() const { return text_; }
  bool HasText() const { return has_text_; }
  void AppendText(std::string_view text);

  XmlNode* FirstChild() const { return children_.empty() ? nullptr : children_.front().get(); }
  XmlNode* NextSibling() const { return next_sibling_; }
  XmlNode* Parent() const { return parent_; }

  const std::vector<std::pair<std::string, std::string>>& Attributes() const { return attributes_; }
  /// The value of the first attribute named exactly `name`, or nullptr.
  const std::string* Attribute(std::string_view name) const;
  void AddAttribute(std::string name, std::string value);

  /// Adds `child` as the last child and makes this node its parent; returns
  /// it (nullptr for a null child).
  XmlNode* AppendChild(std::unique_ptr<XmlNode> child);
  /// Removes `child` from the children and hands it over, parentless and
  /// without sibling; nullptr when it is not a child of this node.
  std::unique_ptr<XmlNode> DetachChild(XmlNode* child);

  /// Scans the children from `start` (a child of this node; the first child
  /// when null) for `name`; when none matches and `recursive` is set, searches
  /// each of those children the same way in order. A direct child always
  /// wins over a deeper element. To continue after a hit E, pass
  /// E->NextSibling() as `start`.
  XmlNode* FindElement(std::string_view name, const XmlNode* start = nullptr,
                       bool recursive = true) const;

  /// The text of the element FindElement finds, or nullptr when there is no
  /// such element or it has no text.
  const std::string* ElementText(std::string_view name, const XmlNode* start = nullptr,
                                 bool recursive = true) const;

 private:
  friend class XmlDocument;

  std::string name_;
  std::string text_;
  bool has_text_ = false;
  std::vector<std::pair<std::string, std::string>> attributes_;
  std::vector<std::unique_ptr<XmlNode>> children_;
  XmlNode* next_sibling_ = nullptr;
  XmlNode* parent_ = nullptr;
};

class XmlDocument {
 public:
  XmlDocument();
  ~XmlDocument();
  XmlDocument(const XmlDocument&) = delete;
  XmlDocument& operator=(const XmlDocument&) = delete;

  /// Parses `text`, replacing any previous tree. 0 on success, -3 for an
  /// empty text, -2 on a parse error: then the tree keeps what was built and
  /// the message "error '%s' at line %ld, byte index %ld [%c 0x%d] in [%s]"
  /// is appended to `error` when given.
  ///
  /// An "xmlinclude" element is replaced by (part of) the file it names,
  /// read relative to the current directory; a file that cannot be read or
  /// parsed leaves an empty "xmlinclude" element carrying its attributes.
  [[nodiscard]] int Parse(std::string_view text, std::string* error = nullptr);

  /// The first top-level element, or nullptr.
  XmlNode* Root() const { return top_level_.empty() ? nullptr : top_level_.front().get(); }

  /// Includes nested deeper than this are treated as unreadable files, so a
  /// file that includes itself cannot recurse without end.
  static constexpr int kMaxIncludeDepth = 16;
  /// At most this many files are included into one document, however they
  /// nest: a file including itself several times would otherwise fan out
  /// into billions of parses within the depth limit.
  static constexpr int kMaxIncludedFiles = 256;

 private:
  struct ParseState;
  [[nodiscard]] int ParseAtDepth(std::string_view text, std::string* error, int include_depth,
                                 int* includes_left);
  void AppendTopLevel(std::unique_ptr<XmlNode> node);
  std::unique_ptr<XmlNode> TakeRoot();
  static std::vector<std::unique_ptr<XmlNode>> TakeChildren(XmlNode& node);

  std::vector<std::unique_ptr<XmlNode>> top_level_;
};

}  // namespace vossik
