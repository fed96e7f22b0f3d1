// ValueRule is what a setting accepts, read from its definition in the
// descriptor: the kind its `type` names, and the range or the names that
// its `allowed` element gives. The command line checks `-set` values
// against it, and start-up checks the values of the configuration file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/parameter_ref.h"

namespace vossik {

struct ValueRule {
  enum class Kind { kText, kNumber, kSwitch, kChoice, kFlags };
  Kind kind = Kind::kText;
  std::optional<long> minimum;     // numbers: the `allowed` element's `min`
  std::optional<long> maximum;     // numbers: its `max`
  std::vector<std::string> names;  // choices and flags: the `allowed` names
};

/// The rule of the setting `ref` resolves. A type the rules do not know,
/// and a setting without a type, accept any text.
ValueRule RuleFor(const ParameterRef& ref);

/// Whether a setting of this rule accepts `value` as written in the
/// configuration file (blanks at either end do not count). An empty value
/// is always accepted: it stands for the default.
[[nodiscard]] bool Accepts(const ValueRule& rule, std::string_view value);

/// The number `value` writes for a number setting: an optional sign, then
/// digits with commas skipped ("1,024"); nullopt when it is no number.
[[nodiscard]] std::optional<long> ParseRuleNumber(std::string_view value);

/// `value` brought into the rule's range.
[[nodiscard]] long ClampToRule(const ValueRule& rule, long value);

/// What the rule accepts, for a message: "a whole number from 1 to 32",
/// "one of Off, Critical, General", "on or off".
std::string DescribeAccepted(const ValueRule& rule);

}  // namespace vossik
