#include "bridge/marker_search.h"

#include <charconv>

namespace tarnel {
namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Removes, from the end: white space, one '}', white space, one '"'.
void DropClosingQuoteAndBrace(std::string& value) {
    const auto trimSpace = [&] {
        while (!value.empty() && IsSpace(value.back()))
            value.pop_back();
    };
    trimSpace();
    if (!value.empty() && value.back() == '}')
        value.pop_back();
    trimSpace();
    if (!value.empty() && value.back() == '"')
        value.pop_back();
}

}  // namespace

std::string ValueBeforeApostrophe(std::string_view text, std::string_view marker) {
    size_t at = text.find(marker);
    if (at == std::string_view::npos)
        return {};
    std::string_view rest = text.substr(at + marker.size());
    return std::string(rest.substr(0, rest.find('\'')));
}

std::string ValueAfterMarker(std::string_view text, std::string_view marker) {
    size_t at = text.find(marker);
    if (at == std::string_view::npos)
        return {};
    std::string_view rest = text.substr(at + marker.size());
    size_t end = rest.find("\",");
    if (end != std::string_view::npos)
        return std::string(rest.substr(0, end));
    std::string value(rest);
    DropClosingQuoteAndBrace(value);
    return value;
}

double LeadingNumber(std::string_view text) {
    size_t start = 0;
    while (start < text.size() && IsSpace(text[start]))
        ++start;
    bool negative = false;
    if (start < text.size() && (text[start] == '+' || text[start] == '-')) {
        negative = text[start] == '-';
        ++start;
    }
    double value = 0;
    std::from_chars(text.data() + start, text.data() + text.size(), value);
    return negative ? -value : value;
}

}  // namespace tarnel
