// The search script and sample pages of a build, made from template files
// by replacing placeholders such as "$indexhashmod$" with this build's
// values, and the bullet image copied beside them. The templates are files
// outside the program; only the placeholders and their values are fixed
// here. Failures are silent (a missing template gives no output) and
// reported only by the results. Not thread-safe.
#pragma once

#include <filesystem>
#include <string>

namespace vossik {

struct TemplateValues {
  std::string index_dir;  // the target folder; backslashes become "/"
  std::string stems;      // buildStems()
  std::string stop_list;  // StopList::text; empty without stop words
};

/// Reads templatesDir/templateName whole, replaces the placeholders in this
/// order, each at every occurrence and in exact case:
///   $indexdir$ $indexjoinfunction$ $indexfileprefix$ $indexstems$
///   $indexstoplist$ $indexhashcode$ $indexhashoverflow$ $indexhashmod$
///   $indexofflineprefix$ $indexpath$
/// and writes the result to outputFolder + "/" + outputName (default: the
/// template's name). A value containing a later placeholder is replaced
/// again by that later step. $indexpath$ is "./", or with an offline path
/// that path as JavaScript string content followed by "/". The output
/// folder is not created. False, and no output, when the template is
/// missing or empty or the output cannot be written.
[[nodiscard]] bool instantiateTemplate(const std::filesystem::path& templates_dir,
                                       const std::string& template_name,
                                       const std::string& output_folder,
                                       const TemplateValues& values,
                                       const std::string& output_name = {},
                                       const std::string& offline_path = {});

/// Copies templatesDir/bullet.gif to outputFolder + "/bullet.gif", creating
/// the folder with its parents when missing and replacing a read-only copy.
[[nodiscard]] bool copyBulletImage(const std::filesystem::path& templates_dir,
                                   const std::string& output_folder);

}  // namespace vossik
