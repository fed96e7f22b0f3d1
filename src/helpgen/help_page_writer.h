// The frame every help page shares: the head with the style sheet, the
// running-head bar, an optional heading, and the footer that names the maker
// and the build date. The contents and index files of the help project start
// with the same pieces, so they are exposed here as well.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace vossik {

struct ProductIdentity;

inline constexpr std::string_view kHelpDoctype =
    "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN\"><html>\n";
// Descriptor texts arrive from the XML parser as UTF-8 and are written
// unchanged, so every page must say so.
inline constexpr std::string_view kHelpMetaLine =
    "<META HTTP-EQUIV=\"Content-Type\" Content=\"text/html; charset=UTF-8\">";
inline constexpr std::string_view kHelpStyleLink =
    "<LINK type=text/css  rel=stylesheet href=\"style.css\">";

/// The build date as the footer shows it, from `when` broken down in GMT:
/// "Fri, 20 Nov 2026".
std::string HelpBuildDate(std::time_t when);

/// The footer, closing the body: maker, web address and build date.
std::string HelpFooter(const ProductIdentity& identity, std::time_t build_time);

/// "<body ...>" and the running-head bar.
std::string HelpBodyStart(std::string_view running_head);

/// A whole page: head with `title`, running head, "<H1>heading</H1>" unless
/// the heading is empty, `body`, `footer` and the closing tag.
std::string HelpPage(std::string_view title, std::string_view running_head,
                     std::string_view heading, std::string_view body, std::string_view footer);

}  // namespace vossik
