#include "settings/value_rules.h"

#include <algorithm>
#include <climits>

#include "base/ascii_case.h"
#include "base/string_util.h"
#include "settings/typed_settings.h"
#include "xml/xml_document.h"

namespace vossik {
namespace {

// The separators of a flags value, as the flags reader splits it.
constexpr std::string_view kFlagSeparators = "+,.-_|& ;:()\"";

bool IsAllowedName(const ValueRule& rule, std::string_view piece) {
  return std::ranges::any_of(
      rule.names, [&](const std::string& name) { return EqualsIgnoringCase(name, piece); });
}

std::string JoinedNames(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) {
    if (!text.empty()) text += ", ";
    text += name;
  }
  return text;
}

}  // namespace

ValueRule RuleFor(const ParameterRef& ref) {
  ValueRule rule;
  const std::string* type = ref.ChildText("type");
  if (type == nullptr) return rule;
  const std::string_view kind = TrimBlanks(*type);
  if (EqualsIgnoringCase(kind, "number")) {
    rule.kind = ValueRule::Kind::kNumber;
    if (const XmlNode* allowed = ref.Child("allowed")) {
      if (const std::string* min = allowed->Attribute("min"))
        rule.minimum = ParseLeadingNumber(*min);
      if (const std::string* max = allowed->Attribute("max"))
        rule.maximum = ParseLeadingNumber(*max);
    }
  } else if (EqualsIgnoringCase(kind, "bool")) {
    rule.kind = ValueRule::Kind::kSwitch;
  } else if (EqualsIgnoringCase(kind, "select") || EqualsIgnoringCase(kind, "flags")) {
    // Without names to choose from, any text is as good as another.
    if (AllowedList(ref, &rule.names) && !rule.names.empty()) {
      rule.kind =
          EqualsIgnoringCase(kind, "select") ? ValueRule::Kind::kChoice : ValueRule::Kind::kFlags;
    }
  }
  return rule;
}

std::optional<long> ParseRuleNumber(std::string_view value) {
  value = TrimBlanks(value);
  bool negative = false;
  if (!value.empty() && (value.front() == '-' || value.front() == '+')) {
    negative = value.front() == '-';
    value.remove_prefix(1);
  }
  long number = 0;
  bool digits = false;
  for (char c : value) {
    if (c == ',') continue;
    if (c < '0' || c > '9') return std::nullopt;
    digits = true;
    number = number > (LONG_MAX - (c - '0')) / 10 ? LONG_MAX : number * 10 + (c - '0');
  }
  if (!digits) return std::nullopt;
  return negative ? -number : number;
}

long ClampToRule(const ValueRule& rule, long value) {
  if (rule.minimum && value < *rule.minimum) value = *rule.minimum;
  if (rule.maximum && value > *rule.maximum) value = *rule.maximum;
  return value;
}

bool Accepts(const ValueRule& rule, std::string_view value) {
  value = TrimBlanks(value);
  if (value.empty()) return true;
  switch (rule.kind) {
    case ValueRule::Kind::kText:
      return true;
    case ValueRule::Kind::kNumber: {
      const std::optional<long> number = ParseRuleNumber(value);
      return number && ClampToRule(rule, *number) == *number;
    }
    case ValueRule::Kind::kSwitch:
      return ParseRuleNumber(value).has_value() ||
             std::ranges::any_of(
                 std::initializer_list<std::string_view>{"on", "off", "yes", "no", "true", "false"},
                 [&](std::string_view word) { return EqualsIgnoringCase(word, value); });
    case ValueRule::Kind::kChoice:
      return IsAllowedName(rule, value);
    case ValueRule::Kind::kFlags:
      if (EqualsIgnoringCase(value, "All") || EqualsIgnoringCase(value, "None")) return true;
      return std::ranges::all_of(
          SplitTrimmed(value, kFlagSeparators),
          [&](const std::string& piece) { return IsAllowedName(rule, piece); });
  }
  return true;
}

std::string DescribeAccepted(const ValueRule& rule) {
  switch (rule.kind) {
    case ValueRule::Kind::kText:
      return "any text";
    case ValueRule::Kind::kNumber:
      if (rule.minimum && rule.maximum) {
        return "a whole number from " + std::to_string(*rule.minimum) + " to " +
               std::to_string(*rule.maximum);
      }
      if (rule.minimum) return "a whole number of at least " + std::to_string(*rule.minimum);
      if (rule.maximum) return "a whole number of at most " + std::to_string(*rule.maximum);
      return "a whole number";
    case ValueRule::Kind::kSwitch:
      return "on or off (also yes or no, true or false, 1 or 0)";
    case ValueRule::Kind::kChoice:
      return "one of " + JoinedNames(rule.names);
    case ValueRule::Kind::kFlags:
      return "All, None, or any of " + JoinedNames(rule.names) + " joined by +";
  }
  return "any text";
}

}  // namespace vossik
