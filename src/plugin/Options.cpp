#include "plugin/Options.h"

OptionFlags::OptionFlags() {
    for (const OptionSpec& option : kOptionTable) {
        this->*option.flag = option.defaultValue;
    }
}

std::string defaultOptionString() {
    std::string text;
    for (const OptionSpec& option : kOptionTable) {
        text += option.name;
        text += '=';
        text += option.defaultValue > 0 ? '1' : '0';
        text += ';';
    }
    return text;
}

bool optionValueIsPositive(std::string_view value) {
    std::size_t pos = 0;
    while (pos < value.size() && (value[pos] == ' ' || value[pos] == '\t')) {
        ++pos;
    }
    bool negative = false;
    if (pos < value.size() && (value[pos] == '+' || value[pos] == '-')) {
        negative = value[pos] == '-';
        ++pos;
    }
    bool nonZeroDigit = false;
    for (; pos < value.size() && value[pos] >= '0' && value[pos] <= '9'; ++pos) {
        nonZeroDigit = nonZeroDigit || value[pos] != '0';
    }
    return nonZeroDigit && !negative;
}

namespace {

// The entry's name is the text before its first "=", its value the text between the
// first and a second "=" (or the end). Splitting here rather than with a general
// tokeniser keeps "name=" (empty value) distinct from "name" (no value at all).
void applyEntry(std::string_view entry, OptionDriver driver, OptionFlags& flags) {
    const std::size_t equals = entry.find('=');
    if (equals == std::string_view::npos) {
        return;
    }
    const std::string_view name = entry.substr(0, equals);
    std::string_view value = entry.substr(equals + 1);
    value = value.substr(0, value.find('='));
    for (const OptionSpec& option : kOptionTable) {
        if (option.driver == driver && name == option.name) {
            flags.*option.flag = optionValueIsPositive(value) ? 1u : 0u;
            return;
        }
    }
}

}  // namespace

void parseOptionString(std::string_view options, OptionDriver driver, OptionFlags& flags) {
    while (!options.empty()) {
        const std::size_t end = options.find(';');
        applyEntry(options.substr(0, end), driver, flags);
        if (end == std::string_view::npos) {
            break;
        }
        options.remove_prefix(end + 1);
    }
}

std::vector<std::string> optionLogLines(OptionDriver driver, const OptionFlags& flags) {
    std::vector<std::string> lines;
    for (const OptionSpec& option : kOptionTable) {
        if (option.driver == driver) {
            lines.push_back(std::string("QVX: ") + option.name + ": " + std::to_string(flags.*option.flag));
        }
    }
    return lines;
}
