// cfgpack: packs a readable XML descriptor into a key-set-3 container
// (".cfgml") and unpacks one again.
//
//   cfgpack pack SOURCE.xml OUTPUT.cfgml
//   cfgpack unpack INPUT.cfgml OUTPUT.xml     (OUTPUT "-" writes to stdout)
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>

#include "base/container_cipher.h"
#include "base/file_io.h"
#include "base/result_codes.h"
#include "xml/xml_document.h"

namespace {

int Usage() {
  std::cerr << "usage: cfgpack pack SOURCE.xml OUTPUT.cfgml\n"
               "       cfgpack unpack INPUT.cfgml OUTPUT.xml|-\n";
  return 2;
}

int Pack(const char* source, const char* output) {
  std::string xml;
  std::string reason;
  if (!vossik::ReadWholeFile(source, &xml, &reason)) {
    std::cerr << "cfgpack: " << vossik::FileErrorText("read", source, reason) << "\n";
    return 1;
  }
  // A descriptor that does not parse would only fail later, at start-up.
  vossik::XmlDocument document;
  std::string error;
  if (document.Parse(xml, &error) != vossik::kResultOk) {
    std::cerr << "cfgpack: " << source << ": " << error << "\n";
    return 1;
  }
  if (!vossik::WriteContainer(output, xml)) {
    std::cerr << "cfgpack: cannot write " << output << "\n";
    return 1;
  }
  return 0;
}

int Unpack(const char* input, const char* output) {
  std::string xml;
  if (!vossik::ReadContainer(input, &xml)) {
    std::cerr << "cfgpack: " << input << " is not a readable container\n";
    return 1;
  }
  if (std::string_view(output) == "-") {
    std::cout << xml;
    return std::cout.flush() ? 0 : 1;
  }
  std::string reason;
  if (!vossik::WriteWholeFile(output, xml, &reason)) {
    std::cerr << "cfgpack: " << vossik::FileErrorText("write", output, reason) << "\n";
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return Usage();
  const std::string_view command = argv[1];
  if (command == "pack") return Pack(argv[2], argv[3]);
  if (command == "unpack") return Unpack(argv[2], argv[3]);
  return Usage();
}
