#include "client/core/desktop_entry.h"

#include <algorithm>
#include <sstream>

namespace tarnel {
namespace {

std::string UnescapeValue(std::string_view text) {
    std::string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            plain += text[i];
            continue;
        }
        const char next = text[++i];
        plain += next == 'n'   ? '\n'
                 : next == 'r' ? '\r'
                 : next == 't' ? '\t'
                 : next == 's' ? ' '
                               : next;
    }
    return plain;
}

}  // namespace

// A desktop-entry string value: backslashes doubled, line breaks and tabs as escapes.
std::string EscapeEntryValue(std::string_view text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
            case '\\':
                escaped += "\\\\";
                break;
            case '\n':
                escaped += "\\n";
                break;
            case '\r':
                escaped += "\\r";
                break;
            case '\t':
                escaped += "\\t";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

// The value of key in the desktop entry's main group; empty when missing.
std::string EntryValue(std::string_view entry, std::string_view key) {
    std::istringstream lines{std::string(entry)};
    bool inMainGroup = false;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line[0] == '[') {
            inMainGroup = line.starts_with("[Desktop Entry]");
            continue;
        }
        const size_t equals = line.find('=');
        if (!inMainGroup || equals == std::string::npos)
            continue;
        std::string_view name = std::string_view(line).substr(0, equals);
        while (!name.empty() && name.back() == ' ')
            name.remove_suffix(1);
        if (name == key) {
            std::string_view value = std::string_view(line).substr(equals + 1);
            while (!value.empty() && value.front() == ' ')
                value.remove_prefix(1);
            return UnescapeValue(value);
        }
    }
    return {};
}

std::string QuoteExecArgument(std::string_view argument) {
    std::string quoted = "\"";
    for (char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        // A lone percent sign would be read as a field code.
        quoted += c == '%' ? std::string("%%") : std::string(1, c);
    }
    return quoted + "\"";
}

std::string ExecProgram(std::string_view execValue) {
    execValue.remove_prefix(std::min(execValue.find_first_not_of(" \t"), execValue.size()));
    std::string program;
    if (execValue.starts_with('"')) {
        for (size_t i = 1; i < execValue.size() && execValue[i] != '"'; ++i) {
            if (execValue[i] == '\\' && i + 1 < execValue.size())
                ++i;
            program += execValue[i];
        }
    } else {
        program = execValue.substr(0, execValue.find(' '));
    }
    // Percent signs were doubled for the field codes.
    for (size_t at = program.find("%%"); at != std::string::npos; at = program.find("%%", at + 1))
        program.erase(at, 1);
    return program;
}

}  // namespace tarnel
