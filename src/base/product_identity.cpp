#include "base/product_identity.h"

namespace vossik {

const ProductIdentity& VossikIdentity() {
  static const ProductIdentity kIdentity{
      .maker = "Orrindale",
      .maker_web_address = "https://www.orrindale.example",
      .product_name = "Vossik",
      .description = "Add search to any website with no server required",
      .version = "1.1.0",
      .build = "000",
  };
  return kIdentity;
}

}  // namespace vossik
