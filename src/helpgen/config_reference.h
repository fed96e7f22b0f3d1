// The configuration file reference: an index of the sections and a page per
// section documenting each setting as it is written in the file.
#pragma once

namespace vossik {

struct HelpRun;

/// Writes "config-index.html" and "config-NAME.html" for every section of
/// the descriptor's first `config` element, and adds the sections to the
/// contents when it is enabled.
void WriteConfigReference(HelpRun* run);

}  // namespace vossik
