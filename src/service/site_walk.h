// The index build's view of the site, for the service: which folders the
// build walks and which files it indexes (the same SourceWalker rules the
// builder makes from the same options), and when the newest of those pages
// changed.
#pragma once

#include <ctime>
#include <memory>

#include "indexer/index_options.h"
#include "indexer/source_walker.h"

namespace vossik {

/// The walker the builder would use for `options`, robots.txt read afresh.
std::unique_ptr<SourceWalker> SiteWalkerFor(const IndexOptions& options);

/// The latest modification time of a page `walker` accepts anywhere in the
/// folders it walks; 0 when there is none.
std::time_t NewestAcceptedPage(const SourceWalker& walker);

}  // namespace vossik
