#include "OptionValues.h"

#include <algorithm>
#include <string>

namespace rolvik::cli {
namespace {

class PlainFormatter : public CLI::Formatter {
  public:
    std::string make_option_opts(const CLI::Option* option) const override {
        const std::string& text = option->get_option_text();
        if (!text.empty()) {
            // An optional value ("[=LUFS]") is written to the name.
            return text.starts_with('[') ? text : " " + text;
        }
        if (option->get_positional()) {
            return option->get_required() ? " REQUIRED" : "";
        }
        return CLI::Formatter::make_option_opts(option);
    }

    // A flag's default value ("--normalize{-16}") belongs to its description, not its name.
    std::string make_option_name(const CLI::Option* option, bool positional) const override {
        std::string name = CLI::Formatter::make_option_name(option, positional);
        for (std::size_t open = name.find('{'); open != std::string::npos; open = name.find('{')) {
            name.erase(open, name.find('}', open) - open + 1);
        }
        return name;
    }
};

}  // namespace

std::shared_ptr<CLI::Formatter> PlainValueFormatter() {
    return std::make_shared<PlainFormatter>();
}

CLI::Validator Decimal() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            const std::size_t sign = !text.empty() && text[0] == '-' ? 1 : 0;
            const bool digitsOnly =
                text.size() > sign &&
                std::all_of(text.begin() + static_cast<std::ptrdiff_t>(sign), text.end(),
                            [](char c) { return c >= '0' && c <= '9'; });
            if (!digitsOnly) {
                return "not a decimal number: " + text;
            }
            const std::size_t firstDigit = text.find_first_not_of('0', sign);
            text.erase(sign, std::min(firstDigit, text.size() - 1) - sign);
            return {};
        },
        "");
}

}  // namespace rolvik::cli
