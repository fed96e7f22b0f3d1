// ProductIdentity names the product built on the framework: who makes it,
// what it is called and which version it is. The About box, the help pages
// and the log names take their texts from it.
#pragma once

#include <string>

namespace vossik {

struct ProductIdentity {
  std::string maker;
  std::string maker_web_address;
  std::string product_name;
  std::string description;
  std::string version;
  std::string build = "1-1-1";  // used when the product gives no build
  int documentation_flag = 0;   // set: -generatehtmlhelp writes the administration guide
};

/// This program's identity.
const ProductIdentity& VossikIdentity();

}  // namespace vossik
