#include "sim/shell_parser.h"

#include <optional>

namespace tarnel::sim {

namespace {

struct Token {
    bool isOperator = false;
    std::string text;
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsOperatorStart(char c) {
    return c == ';' || c == '&' || c == '|' || c == '<' || c == '>';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

class Lexer {
  public:
    explicit Lexer(std::string_view line) : line_(line) {}

    // Nothing (with `error` set) when a quote is left open.
    std::optional<std::vector<Token>> Tokens(std::string& error) {
        std::vector<Token> tokens;
        while (at_ < line_.size()) {
            const char c = line_[at_];
            if (IsBlank(c)) {
                ++at_;
            } else if (c == '\n') {
                tokens.push_back({true, ";"});
                ++at_;
            } else if (c == '#') {
                const size_t end = line_.find('\n', at_);
                at_ = end == std::string_view::npos ? line_.size() : end;
            } else if (IsOperatorStart(c) || StartsRedirectionWithFd()) {
                tokens.push_back({true, Operator()});
            } else if (auto word = Word(error)) {
                tokens.push_back({false, std::move(*word)});
            } else {
                return std::nullopt;
            }
        }
        return tokens;
    }

  private:
    bool StartsRedirectionWithFd() const {
        return IsDigit(line_[at_]) && at_ + 1 < line_.size() &&
               (line_[at_ + 1] == '<' || line_[at_ + 1] == '>');
    }

    std::string Operator() {
        std::string op;
        if (IsDigit(line_[at_])) {
            op.push_back(line_[at_++]);
        }
        const char first = line_[at_++];
        op.push_back(first);
        const char next = at_ < line_.size() ? line_[at_] : '\0';
        if ((first == '&' || first == '|' || first == '>') && next == first) {
            op.push_back(line_[at_++]);
        } else if (first == '>' && next == '&' && at_ + 1 < line_.size() &&
                   IsDigit(line_[at_ + 1])) {
            op += line_.substr(at_, 2);
            at_ += 2;
        }
        return op;
    }

    std::optional<std::string> Word(std::string& error) {
        std::string word;
        while (at_ < line_.size()) {
            const char c = line_[at_];
            if (IsBlank(c) || c == '\n' || IsOperatorStart(c)) {
                break;
            }
            ++at_;
            if (c == '\\') {
                if (at_ < line_.size()) {
                    word.push_back(line_[at_++]);
                }
            } else if (c == '\'') {
                const size_t end = line_.find('\'', at_);
                if (end == std::string_view::npos) {
                    error = "syntax error: unterminated quoted string";
                    return std::nullopt;
                }
                word += line_.substr(at_, end - at_);
                at_ = end + 1;
            } else if (c == '"') {
                if (!DoubleQuoted(word)) {
                    error = "syntax error: unterminated quoted string";
                    return std::nullopt;
                }
            } else {
                word.push_back(c);
            }
        }
        return word;
    }

    bool DoubleQuoted(std::string& word) {
        while (at_ < line_.size()) {
            const char c = line_[at_++];
            if (c == '"') {
                return true;
            }
            if (c == '\\' && at_ < line_.size() &&
                std::string_view("\"\\$`").find(line_[at_]) != std::string_view::npos) {
                word.push_back(line_[at_++]);
            } else {
                word.push_back(c);
            }
        }
        return false;
    }

    std::string_view line_;
    size_t at_ = 0;
};

std::optional<Redirection> RedirectionFor(const std::string& op) {
    std::string_view rest(op);
    int fd = -1;
    if (IsDigit(rest.front())) {
        fd = rest.front() - '0';
        rest.remove_prefix(1);
    }
    Redirection redirection;
    if (rest == "<") {
        redirection.kind = Redirection::Kind::Input;
        redirection.fd = fd < 0 ? 0 : fd;
    } else if (rest == ">" || rest == ">>") {
        redirection.kind = rest == ">" ? Redirection::Kind::Truncate : Redirection::Kind::Append;
        redirection.fd = fd < 0 ? 1 : fd;
    } else if (rest == ">&1") {
        redirection.kind = Redirection::Kind::ToStandardOutput;
        redirection.fd = fd < 0 ? 1 : fd;
    } else {
        return std::nullopt;
    }
    if (redirection.fd > 2) {
        return std::nullopt;
    }
    return redirection;
}

}  // namespace

ParsedCommandLine ParseCommandLine(std::string_view line) {
    ParsedCommandLine parsed;
    std::optional<std::vector<Token>> tokens = Lexer(line).Tokens(parsed.error);
    if (!tokens) {
        return parsed;
    }
    auto fail = [&](const std::string& why) {
        parsed.steps.clear();
        parsed.error = why;
        return parsed;
    };
    CommandStep step;
    bool commandOpen = false;
    for (size_t i = 0; i < tokens->size(); ++i) {
        const Token& token = (*tokens)[i];
        if (!token.isOperator) {
            step.command.words.push_back(token.text);
            commandOpen = true;
            continue;
        }
        if (token.text == "|" || token.text == "&") {
            return fail("'" + token.text + "' is not supported by this phone's shell");
        }
        if (token.text == ";" || token.text == "&&" || token.text == "||") {
            if (!commandOpen) {
                return fail("syntax error: '" + token.text + "' unexpected");
            }
            parsed.steps.push_back(std::move(step));
            step = {};
            step.condition = token.text == ";"    ? RunCondition::Always
                             : token.text == "&&" ? RunCondition::AfterSuccess
                                                  : RunCondition::AfterFailure;
            commandOpen = false;
            continue;
        }
        std::optional<Redirection> redirection = RedirectionFor(token.text);
        if (!redirection) {
            return fail("syntax error: '" + token.text + "' unexpected");
        }
        if (redirection->kind != Redirection::Kind::ToStandardOutput) {
            if (i + 1 == tokens->size() || (*tokens)[i + 1].isOperator) {
                return fail("syntax error: '" + token.text + "' needs a file name");
            }
            redirection->target = (*tokens)[++i].text;
        }
        step.command.redirections.push_back(std::move(*redirection));
        commandOpen = true;
    }
    if (commandOpen) {
        parsed.steps.push_back(std::move(step));
    } else if (step.condition != RunCondition::Always) {
        return fail("syntax error: unexpected end of line");
    }
    return parsed;
}

}  // namespace tarnel::sim
