// The XML parser with "xmlinclude": documents that include files that
// exist, that include themselves, and that fan out.
#include <unistd.h>

#include "fuzz_support.h"
#include "xml/xml_document.h"

namespace {

void Walk(const vossik::XmlNode* node, int depth) {
  for (; node != nullptr; node = node->NextSibling()) {
    static_cast<void>(node->Attribute("file"));
    static_cast<void>(node->FindElement("x", nullptr, false));
    if (depth < 64) Walk(node->FirstChild(), depth + 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  using vossik::fuzz::WriteOrDie;
  const auto& folder = vossik::fuzz::ScratchFolder();
  WriteOrDie(folder / "part.xml", "<part a=\"1\"><x>text &amp; more</x><y/></part>");
  WriteOrDie(folder / "self.xml",
             "<s><xmlinclude file=\"self.xml\"/><xmlinclude file=\"self.xml\"/></s>");
  WriteOrDie(folder / "broken.xml", "<open><unclosed>");
  // Includes are read relative to the current directory.
  if (::chdir(folder.c_str()) != 0) return 1;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  vossik::XmlDocument document;
  std::string error;
  static_cast<void>(document.Parse(vossik::fuzz::AsText(data, size), &error));
  Walk(document.Root(), 0);
  return 0;
}
