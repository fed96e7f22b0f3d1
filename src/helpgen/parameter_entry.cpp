#include "helpgen/parameter_entry.h"

#include <algorithm>
#include <vector>

#include "base/ascii_case.h"
#include "helpgen/descriptor_walk.h"
#include "helpgen/keyword_index.h"
#include "settings/parameter_ref.h"
#include "xml/xml_document.h"

namespace vossik {
namespace {

std::string TextOf(const std::string* text) { return text ? *text : std::string(); }

bool IsExactlyTrue(const std::string* text) { return text && *text == "true"; }

// The description, else the hint: the sentence the settings window shows.
std::string DescriptionOf(const ParameterRef& ref) {
  std::string description = TextOf(ref.ChildText("description"));
  return description.empty() ? TextOf(ref.ChildText("hint")) : description;
}

// A list value split at the commas that stand outside double quotes, as the
// configuration file writes the entries of a numbered setting.
std::vector<std::string> SplitOutsideQuotes(std::string_view text) {
  std::vector<std::string> items;
  std::string item;
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"' && (!quoted || i == 0 || text[i - 1] != '\\')) quoted = !quoted;
    if (c == ',' && !quoted) {
      if (!item.empty()) items.push_back(std::move(item));
      item.clear();
      continue;
    }
    item += c;
  }
  if (!item.empty()) items.push_back(std::move(item));
  return items;
}

std::string_view WithoutQuotes(std::string_view item) {
  if (item.size() >= 2 && item.front() == '"' && item.back() == '"')
    return item.substr(1, item.size() - 2);
  return item;
}

std::vector<std::string_view> SplitAtAny(std::string_view text, std::string_view separators) {
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find_first_of(separators, start), text.size());
    if (end > start) pieces.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return pieces;
}

}  // namespace

std::string FillNumberPlaceholders(std::string_view name, std::string_view first,
                                   std::string_view second) {
  std::string filled;
  bool first_used = false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const std::string_view rest = name.substr(i);
    const std::size_t length = rest.starts_with("%ld") ? 3 : rest.starts_with("%d") ? 2 : 0;
    if (length == 0) {
      if (rest.starts_with("%%")) ++i;
      filled += name[i];
      continue;
    }
    filled += first_used ? second : first;
    first_used = true;
    i += length - 1;
  }
  return filled;
}

std::string DisplayName(std::string_view name, bool numbered, bool subnumbered) {
  if (!numbered) return std::string(name);
  return FillNumberPlaceholders(name, "</B><I>x</I><B>", subnumbered ? "</B><I>y</I><B>" : "");
}

ParameterEntryWriter::ParameterEntryWriter(const XmlNode* root, HelpEntryStyle style,
                                           KeywordIndex* keywords)
    : root_(root), style_(style), keywords_(keywords) {}

void ParameterEntryWriter::AppendEntries(const XmlNode* element, const HelpPageRef& page,
                                         std::string* out) const {
  const std::string section_uid = AttributeText(element, "uid");
  for (const XmlNode* parameter : ChildElements(element, "parameter")) {
    const std::string address = AttributeText(parameter, "uid");
    ParameterRef ref;
    if (style_ == HelpEntryStyle::kReference) {
      // The element documented is the section's own definition; only the
      // shared type behind it is looked up.
      ref = ResolveParameter(root_, address, section_uid);
      ref.parameter = parameter;
    } else {
      ref = ResolveParameter(root_, address);
      ref.override_element = parameter;
    }
    AppendEntry(ref, page, out);
  }
}

void ParameterEntryWriter::AppendEntry(const ParameterRef& ref, const HelpPageRef& page,
                                       std::string* out) const {
  const std::string name = TextOf(ref.Attribute("name"));
  if (name.empty()) return;
  const std::string control = TextOf(ref.ChildText("control"));
  if (control == "statictext") return;
  const bool reference = style_ == HelpEntryStyle::kReference;

  *out += "<DT><B><A NAME=\"";
  *out += TextOf(ref.Attribute("uid", false));
  *out += "\"/><FONT CLASS=data>";
  *out += DisplayName(name, IsExactlyTrue(ref.Attribute("numbered")),
                      IsExactlyTrue(ref.Attribute("subnumbered")));
  *out += "</FONT></B></DT>";
  keywords_->Add(page.title, page.file, name);

  const std::string description = DescriptionOf(ref);
  if (!description.empty()) *out += "<DD>" + description;
  if (!reference && documenter_) {
    if (const XmlNode* definition = ref.Child("definition")) documenter_(definition, control, out);
  }
  *out += "<TABLE>\r\n";

  std::string unit_suffix;
  const std::string unit = TextOf(ref.ChildText("unit"));
  if (control == "unitnumber" && !unit.empty()) unit_suffix = "&nbsp;" + unit;

  AppendTypeRows(ref, control, unit_suffix, out);
  AppendExample(ref, name, unit_suffix, out);

  if (const XmlNode* default_element = ref.Child("default")) {
    const std::string* show = default_element->Attribute("showinhelp");
    if ((!show || ParseSwitch(*show)) && !default_element->Text().empty()) {
      *out += "</TD></TR>\r\n<TR><TD>Default:</TD><TD>";
      *out += default_element->Text();
      *out += unit_suffix;
    }
  }
  if (reference) {
    const std::string see_also = TextOf(ref.ChildText("seealso"));
    if (!see_also.empty()) AppendSeeAlso(see_also, out);
  }
  *out += "</TD></TR>\r\n</TABLE>\r\n</DD>";
}

void ParameterEntryWriter::AppendTypeRows(const ParameterRef& ref, std::string_view control,
                                          std::string_view unit_suffix, std::string* out) const {
  const std::string type = TextOf(ref.ChildText("type"));
  if (type.empty()) return;
  const bool reference = style_ == HelpEntryStyle::kReference;

  *out += "<TR><TD WIDTH=200>";
  if (reference) {
    *out += "Type:</TD><TD>" + type;
  } else if (!control.empty()) {
    std::string image = TextOf(ref.Attribute("uid"));
    std::ranges::replace(image, ':', '_');
    *out += "Example interface:</TD><TD><IMG SRC=\"" + image + ".bmp\">";
  }
  *out += "</TD></TR>";

  const XmlNode* allowed = ref.Child("allowed");
  if (EqualsIgnoringCase(type, "number")) {
    const std::string* min = allowed ? allowed->Attribute("min") : nullptr;
    const std::string* max = allowed ? allowed->Attribute("max") : nullptr;
    if (min && max) {
      *out += "<TR><TD><FONT CLASS=parampropertytitle>Range:</FONT></TD><TD>";
      *out += *min + " - " + *max;
      *out += unit_suffix;
      *out += "</TD></TR>\r\n";
    }
  } else if (EqualsIgnoringCase(type, "bool")) {
    *out += "<TR><TD>Options:</TD><TD>";
    *out += reference ? "On/Off, True/False, Yes/No, 1/0" : "On/Off";
    *out += "</TD></TR>\r\n";
  } else if (EqualsIgnoringCase(type, "select")) {
    *out += "<TR><TD>Options:";
    if (const std::string* link = allowed ? allowed->Attribute("helplink") : nullptr) {
      *out += "<BR><A HREF=\"" + *link + "\">(More Info)</A>";
    }
    *out += "</TD><TD>";
    // Each item may carry its stored value after "|"; the help shows the words.
    if (allowed) {
      const std::string_view items = allowed->Text();
      for (std::size_t start = 0; start <= items.size();) {
        const std::size_t end = std::min(items.find(',', start), items.size());
        const std::string_view item = items.substr(start, end - start);
        if (start > 0) *out += ", ";
        *out += item.substr(0, item.find('|'));
        start = end + 1;
      }
    }
    *out += "</TD></TR>\r\n";
  }
}

void ParameterEntryWriter::AppendExample(const ParameterRef& ref, std::string_view name,
                                         std::string_view unit_suffix, std::string* out) const {
  std::string example = TextOf(ref.ChildText("example"));
  if (example.empty()) example = TextOf(ref.ChildText("default"));
  if (example.empty()) return;
  const bool numbered = IsExactlyTrue(ref.Attribute("numbered"));
  const bool subnumbered = IsExactlyTrue(ref.Attribute("subnumbered"));

  *out += "<TR><TD>Example:</TD><TD><B>";
  if (style_ == HelpEntryStyle::kReference) {
    if (!numbered) {
      *out += std::string(name) + "=" + example;
      return;
    }
    // One configuration line per entry, as the file numbers them.
    const std::vector<std::string> items = SplitOutsideQuotes(example);
    for (std::size_t i = 0; i < items.size(); ++i) {
      *out += FillNumberPlaceholders(name, std::to_string(i), subnumbered ? "0" : "");
      *out += "=" + items[i] + "<BR>\r\n";
    }
    return;
  }
  if (numbered) {
    const std::vector<std::string> items = SplitOutsideQuotes(example);
    if (!items.empty()) *out += WithoutQuotes(items.front());
  } else {
    *out += example;
  }
  *out += unit_suffix;
}

void ParameterEntryWriter::AppendSeeAlso(std::string_view see_also, std::string* out) const {
  *out += "</TD></TR>\r\n<TR><TD>See Also:</TD><TD>";
  bool linked = false;
  for (std::string_view item : SplitAtAny(see_also, ",+ ")) {
    if (item.find(':') == std::string_view::npos) continue;
    const ParameterRef target = ResolveParameter(root_, item);
    const std::string name = TextOf(target.Attribute("name"));
    // Only settings of a documented section have a page to link to.
    if (!target.section_matched || name.empty()) continue;
    *out += "<A HREF=\"config-" + target.section_name + ".html#" + TextOf(target.Attribute("uid")) +
            "\">";
    *out += FillNumberPlaceholders(name, "x", "x");
    *out += "</A>, ";
    linked = true;
  }
  // Only a written link leaves a separator behind; without one the last
  // comma belongs to the rows above.
  if (linked) out->erase(out->rfind(','));
}

}  // namespace vossik
