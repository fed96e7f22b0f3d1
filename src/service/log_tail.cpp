#include "service/log_tail.h"

#include <cstdio>
#include <memory>

namespace vossik {
namespace {

constexpr long kChunk = 64 * 1024;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

bool ReadLastLines(const std::filesystem::path& file, long lines, std::string* text) {
  text->clear();
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(file, ec);
  if (status.type() == std::filesystem::file_type::not_found) return true;
  if (status.type() != std::filesystem::file_type::regular) return false;
  std::unique_ptr<std::FILE, FileCloser> in(std::fopen(file.c_str(), "rb"));
  if (!in) return false;
  if (lines <= 0) return true;
  if (std::fseek(in.get(), 0, SEEK_END) != 0) return false;
  long end = std::ftell(in.get());
  if (end < 0) return false;

  // Reads chunks from the end until the text holds one line end more than
  // the lines wanted (the one before the first of them), or the file's start.
  std::string tail;
  long line_ends = 0;
  bool last_ends_line = false;
  bool first_chunk = true;
  while (end > 0) {
    const long start = end > kChunk ? end - kChunk : 0;
    std::string chunk(static_cast<std::size_t>(end - start), '\0');
    if (std::fseek(in.get(), start, SEEK_SET) != 0 ||
        std::fread(chunk.data(), 1, chunk.size(), in.get()) != chunk.size()) {
      return false;
    }
    if (first_chunk) last_ends_line = !chunk.empty() && chunk.back() == '\n';
    first_chunk = false;
    tail.insert(0, chunk);
    end = start;
    for (char c : chunk) line_ends += c == '\n';
    if (line_ends > lines) break;
  }
  // Counted from the end, the line end before the first wanted line is
  // number `lines` + 1, or `lines` when the text does not end with one.
  long wanted = last_ends_line ? lines + 1 : lines;
  std::size_t cut = tail.size();
  while (cut > 0 && wanted > 0) {
    --cut;
    if (tail[cut] == '\n') --wanted;
  }
  *text = wanted == 0 ? tail.substr(cut + 1) : tail;
  return true;
}

}  // namespace vossik
