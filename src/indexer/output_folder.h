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

}  // namespace vossik
