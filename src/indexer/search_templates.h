// The search script and sample pages of a build, made from template files
// by replacing placeholders such as "$indexhashmod$" with this build's
// values. The templates are files outside the program: each is taken from
// the first templates folder that holds it (the working folder's
// "templates" before the program's data folders). Only the placeholders and
// their values are fixed here; the build writes and publishes the results
// with its other files.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vossik {

struct TemplateValues {
  std::string index_dir;  // the target folder; backslashes become "/"
  std::string stems;      // buildStems()
  std::string stop_list;  // StopList::text; empty without stop words
};

/// The first of `folders` that holds a regular file `name`, joined with
/// it; empty when none does.
std::filesystem::path FindTemplate(const std::vector<std::filesystem::path>& folders,
                                   std::string_view name);

/// Replaces the placeholders of template `text` in this order, each at every
/// occurrence and in exact case:
///   $indexdir$ $indexjoinfunction$ $indexfileprefix$ $indexstems$
///   $indexstoplist$ $indexhashcode$ $indexhashoverflow$ $indexhashmod$
///   $indexofflineprefix$ $indexpath$
/// A value containing a later placeholder is replaced again by that later
/// step. The templates place every value inside a script string (or array
/// of strings), in a .js file or an inline <script>, so $indexdir$ and
/// $indexpath$ are escaped as such (ScriptStringContent). $indexpath$ is
/// "./", or with an offline path that path followed by "/".
std::string FillTemplate(std::string text, const TemplateValues& values,
                         const std::string& offline_path = {});

/// `text` escaped as JavaScript string content that may also stand inside
/// an inline <script> element: JsStringContent, and a "<" before "/" or
/// "!" is followed by a backslash, so that neither "</script" nor "<!--"
/// appears.
std::string ScriptStringContent(std::string_view text);

}  // namespace vossik
