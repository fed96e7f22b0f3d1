// The pictures the help pages show but the help generator does not write:
// every settings page as "<page uid>.bmp" and every setting's control as
// "<uid>.bmp" with each ":" written "_", drawn from the descriptor with the
// settings at their defaults.
#pragma once

#include <filesystem>
#include <string>

namespace vossik {

class XmlNode;

/// Draws the pages of every wizard and sheet of `root` (in the order the
/// guide documents them; a page or control uid met again keeps its first
/// picture) into `folder`, which must exist. Needs a QApplication; call on
/// its thread. False when a picture could not be written; `error` then has
/// one line per file ("Cannot write hlp/x.bmp: ...").
bool WriteHelpImages(const XmlNode* root, const std::filesystem::path& folder, std::string* error);

/// WriteHelpImages for a program that shows no window: when there is no
/// QApplication yet, one on the off-screen platform lives for the call.
bool WriteHelpImagesOffscreen(const XmlNode* root, const std::filesystem::path& folder,
                              std::string* error);

}  // namespace vossik
