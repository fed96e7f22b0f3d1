#include "indexer/index_census.h"

#include <sys/stat.h>

#include <cstdio>

#include "base/ascii_case.h"
#include "base/file_io.h"
#include "indexer/js_array_reader.h"

namespace vossik {
namespace {

constexpr int kBuckets = 256;

}  // namespace

std::map<std::string, long> IndexCensus::PagesByType() const {
  std::map<std::string, long> counts;
  for (const IndexedPage& page : pages) {
    const std::string_view url = page.url;
    const std::string_view name = url.substr(url.rfind('/') + 1);
    const std::size_t dot = name.rfind('.');
    ++counts[dot == std::string_view::npos || dot + 1 == name.size()
                 ? std::string("(none)")
                 : AsciiLowered(name.substr(dot + 1))];
  }
  return counts;
}

bool ReadIndexCensus(const std::string& source_folder, const std::string& output_folder,
                     IndexCensus* census, std::string* error) {
  const std::string page_list = output_folder + "/sitemap.js";
  std::string text;
  std::string reason;
  if (!ReadWholeFile(page_list, &text, &reason)) {
    *error = FileErrorText("read", page_list, reason);
    return false;
  }
  IndexCensus read;
  struct stat info {};
  if (stat(page_list.c_str(), &info) == 0) read.published = info.st_mtime;
  read.index_bytes = text.size();

  JsArrayReader pages(text);
  if (!pages.OpenArray()) {
    *error = page_list + " is not a page list";
    return false;
  }
  std::string item;
  long number = 0;
  std::vector<std::string> fields;
  for (JsArrayReader::Item kind;
       (kind = pages.Next(&item, &number)) != JsArrayReader::Item::kEnd;) {
    if (kind != JsArrayReader::Item::kString) {
      *error = page_list + " is not a page list";
      return false;
    }
    fields.push_back(std::move(item));
    if (fields.size() == 3) {
      read.pages.push_back({.title = std::move(fields[0]), .url = std::move(fields[1])});
      fields.clear();
    }
  }

  for (int bucket = 0; bucket < kBuckets; ++bucket) {
    char name[32];
    std::snprintf(name, sizeof name, "/vkindex%x.js", bucket);
    std::string bytes;
    if (!ReadWholeFile(output_folder + name, &bytes)) continue;
    read.index_bytes += bytes.size();
    JsArrayReader words(bytes);
    if (!words.OpenArray()) continue;
    for (JsArrayReader::Item kind;
         (kind = words.Next(&item, &number)) != JsArrayReader::Item::kEnd &&
         kind != JsArrayReader::Item::kError;) {
      if (kind == JsArrayReader::Item::kString) {
        ++read.words;
      } else if (number >= 1 && static_cast<std::size_t>(number) <= read.pages.size()) {
        ++read.pages[static_cast<std::size_t>(number) - 1].words;
      }
    }
  }
  for (IndexedPage& page : read.pages) {
    const std::string file = source_folder + "/" + page.url;
    if (stat(file.c_str(), &info) == 0) {
      page.size = static_cast<uint64_t>(info.st_size);
      page.modified = info.st_mtime;
    }
  }
  *census = std::move(read);
  return true;
}

}  // namespace vossik
