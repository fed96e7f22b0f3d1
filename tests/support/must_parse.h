// Fixture set-up that must succeed: a descriptor or settings text that does
// not parse stops the test program with the parser's message, so that no
// test runs, and passes, on an empty tree.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/result_codes.h"
#include "settings/settings_store.h"
#include "xml/xml_document.h"

namespace vossik::testing {

inline void MustParse(XmlDocument& document, std::string_view text) {
  std::string error;
  if (document.Parse(text, &error) == kResultOk) return;
  std::fprintf(stderr, "test fixture: the XML does not parse: %s\n", error.c_str());
  std::abort();
}

inline void MustParse(SettingsStore& store, std::string_view text) {
  if (store.Parse(text) == kResultOk) return;
  std::fprintf(stderr, "test fixture: the settings text does not parse\n");
  std::abort();
}

}  // namespace vossik::testing
