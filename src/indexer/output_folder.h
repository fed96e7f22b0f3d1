// Where a build writes its index: the target folder joined to the source
// folder, with "." and ".." segments resolved.
#pragma once

#include <string>
#include <string_view>

namespace vossik {

/// The target folder with every backslash turned into "/". This is also the
/// search page's `$indexdir$`.
std::string TargetWithSlashes(std::string_view target);

/// Resolves "." and ".." segments of a "/"-separated path: "." is dropped,
/// ".." removes the segment before it when that segment exists and is
/// neither ".." nor empty; otherwise the ".." stays. Only whole segments
/// count, so "../site" and "v1./x" keep their dots.
std::string NormaliseFolder(std::string_view path);

/// normaliseFolder(source + "/" + targetWithSlashes(target)).
std::string OutputFolderFor(std::string_view source, std::string_view target);

/// The target folder as the build uses it: with "/" for "\", and when it
/// is absolute, given relative to `source` (the search page finds its
/// files by that path; the site itself becomes "."). False, with a message
/// for the user in `error`, for an absolute target outside the source
/// folder. A relative target may leave the site by "..".
[[nodiscard]] bool ResolveTargetFolder(const std::string& source, std::string_view target,
                                       std::string* resolved, std::string* error);

}  // namespace vossik
